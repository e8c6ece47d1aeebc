// Number texts: which texts are integers or real numbers, and the exact value of a real text.
// Only plain decimal forms count, independent of the locale; hexadecimal, "inf" and "nan" do not.
#pragma once

#include "utilities/KestUtilitiesExport.h"

#include <cstddef>

namespace KestFormatUtil {

/// True if the first `length` bytes are exactly an optional sign ('+' or '-') followed by one or
/// more decimal digits, with no blanks, and the value fits `int`. A text outside the `int` range
/// is not an integer (it may still be a real number).
KEST_UTILITIES_API bool is_int(const char* text, std::size_t length);

/// `is_int` of the zero-terminated `text`.
KEST_UTILITIES_API bool is_int(const char* text);

/// True if the first `length` bytes are exactly a decimal floating-point number: an optional
/// sign, digits with an optional decimal point (at least one digit in all: "5", "5.", ".5"),
/// and an optional exponent ('e' or 'E', optional sign, one or more digits). No blanks. The
/// magnitude is not checked: "1e999" is a real text whose value is infinite.
KEST_UTILITIES_API bool is_double(const char* text, std::size_t length);

/// The value of the decimal number at the start of `text` (after leading ASCII white space),
/// correctly rounded to the nearest double; values beyond the double range give +-infinity,
/// values too small give (signed) zero. If no number starts there, returns 0.0. When `end` is
/// not null it receives the position after the number (or `text` when there is none).
KEST_UTILITIES_API double str_to_double(const char* text, const char** end);

} // namespace KestFormatUtil
