#include "utilities/KestFormatUtil.h"

#include "utilities/KestText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the decimal number (sign, mantissa, optional exponent) that starts at `p`, or 0.
std::size_t scan_decimal(const char* p, const char* end) {
    const char* q = p;
    if (q != end && (*q == '+' || *q == '-')) {
        ++q;
    }
    std::size_t digits = 0;
    while (q != end && is_digit(*q)) {
        ++q;
        ++digits;
    }
    if (q != end && *q == '.') {
        ++q;
        while (q != end && is_digit(*q)) {
            ++q;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (q != end && (*q == 'e' || *q == 'E')) {
        const char* e = q + 1;
        if (e != end && (*e == '+' || *e == '-')) {
            ++e;
        }
        if (e != end && is_digit(*e)) {
            while (e != end && is_digit(*e)) {
                ++e;
            }
            q = e;
        }
    }
    return static_cast<std::size_t>(q - p);
}

// The power of ten of the leading non-zero digit of the unsigned decimal number [p, end): 2 for
// "123", -1 for "0.5", 3 for "1e3". Only its sign matters to the caller, so the exponent saturates.
long long decimal_magnitude(const char* p, const char* end) {
    long long position = 0;
    bool seen_nonzero = false;
    bool after_point = false;
    long long leading = 0; // zeros between the point and the first non-zero digit, negated
    for (; p != end && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            after_point = true;
        } else if (!seen_nonzero && *p == '0') {
            if (after_point) {
                --leading;
            }
        } else if (!seen_nonzero) {
            seen_nonzero = true;
            position = after_point ? leading - 1 : 0;
        } else if (!after_point) {
            ++position;
        }
    }
    long long exponent = 0;
    if (p != end) {
        ++p;
        const bool negative = *p == '-';
        if (*p == '+' || *p == '-') {
            ++p;
        }
        for (; p != end && exponent < 1000000000; ++p) {
            exponent = exponent * 10 + (*p - '0');
        }
        exponent = negative ? -exponent : exponent;
    }
    return position + exponent;
}

} // namespace

namespace KestFormatUtil {

bool is_int(const char* text, std::size_t length) {
    const char* p = text;
    const char* end = text + length;
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '+' || *p == '-')) {
        ++p;
    }
    if (p == end) {
        return false;
    }
    // Accumulate the magnitude towards the limit of the sign so that INT_MIN fits.
    const long long limit = negative ? -static_cast<long long>(std::numeric_limits<int>::min())
                                     : std::numeric_limits<int>::max();
    long long magnitude = 0;
    for (; p != end; ++p) {
        if (!is_digit(*p)) {
            return false;
        }
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit) {
            return false;
        }
    }
    return true;
}

bool is_int(const char* text) {
    return is_int(text, std::strlen(text));
}

bool is_double(const char* text, std::size_t length) {
    return length != 0 && scan_decimal(text, text + length) == length;
}

double str_to_double(const char* text, const char** end) {
    const char* p = text;
    while (KestText::is_space(*p)) {
        ++p;
    }
    const std::size_t length = scan_decimal(p, p + std::strlen(p));
    if (length == 0) {
        if (end != nullptr) {
            *end = text;
        }
        return 0.0;
    }
    if (end != nullptr) {
        *end = p + length;
    }
    // from_chars rounds correctly and ignores the locale, but takes no '+'.
    const bool negative = *p == '-';
    const char* first = (*p == '+' || *p == '-') ? p + 1 : p;
    double value = 0.0;
    const auto result = std::from_chars(first, p + length, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = decimal_magnitude(first, p + length) > 0 ? std::numeric_limits<double>::infinity()
                                                         : 0.0;
    }
    return negative ? -value : value;
}

} // namespace KestFormatUtil
