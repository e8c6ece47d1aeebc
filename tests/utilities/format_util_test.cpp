#include "utilities/KestFormatUtil.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

bool is_int(const std::string& s) {
    return KestFormatUtil::is_int(s.c_str());
}
bool is_double(const std::string& s) {
    return KestFormatUtil::is_double(s.data(), s.size());
}

} // namespace

TEST(FormatUtil, IntegerAndRealTexts) {
    const struct {
        const char* text;
        bool integer, real;
    } rows[] = {
        {"0", true, true},
        {"-17", true, true},
        {"+17", true, true},
        {"2147483647", true, true},
        {"-2147483648", true, true},
        {"2147483648", false, true},
        {"-2147483649", false, true},
        {"00000000000000000042", true, true},
        {"2.5", false, true},
        {"5.", false, true},
        {".5", false, true},
        {"-1.5e-3", false, true},
        {"1E+10", false, true},
        {"1e999", false, true},
        {"", false, false},
        {"+", false, false},
        {"-", false, false},
        {".", false, false},
        {"e5", false, false},
        {"1e", false, false},
        {"1e+", false, false},
        {" 1", false, false},
        {"1 ", false, false},
        {"1,0", false, false},
        {"0x10", false, false},
        {"inf", false, false},
        {"nan", false, false},
        {"1.2.3", false, false},
        {"--1", false, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(is_int(row.text), row.integer) << row.text;
        EXPECT_EQ(is_double(row.text), row.real) << row.text;
    }
    // Only the given length counts, for both forms of is_int.
    EXPECT_TRUE(KestFormatUtil::is_int("12abc", 2));
    EXPECT_FALSE(KestFormatUtil::is_int(std::string("12\0", 3).data(), 3));
    EXPECT_TRUE(KestFormatUtil::is_double("2.5xyz", 3));
}

TEST(FormatUtil, StrToDoubleIsCorrectlyRoundedAndLocaleFree) {
    // strtod in the C locale is the oracle for correct rounding.
    std::setlocale(LC_NUMERIC, "C");
    std::mt19937_64 random(12345);
    std::uniform_int_distribution<int> digit(0, 9), length(1, 25), exponent(-330, 330);
    for (int i = 0; i < 20000; ++i) {
        std::string text = (random() % 2) ? "-" : "";
        const int n = length(random);
        const int point = static_cast<int>(random() % (n + 1));
        for (int k = 0; k < n; ++k) {
            if (k == point) {
                text += '.';
            }
            text += static_cast<char>('0' + digit(random));
        }
        if (random() % 2) {
            text += "e" + std::to_string(exponent(random));
        }
        ASSERT_TRUE(is_double(text)) << text;
        const double expected = std::strtod(text.c_str(), nullptr);
        const double actual = KestFormatUtil::str_to_double(text.c_str(), nullptr);
        ASSERT_EQ(std::memcmp(&expected, &actual, sizeof expected), 0)
            << text << ": " << expected << " vs " << actual;
    }
}

TEST(FormatUtil, StrToDoubleLimitsAndEnd) {
    EXPECT_EQ(KestFormatUtil::str_to_double("-123456789e99999999999999999999", nullptr),
              -std::numeric_limits<double>::infinity());
    EXPECT_EQ(KestFormatUtil::str_to_double("0.000000000000000000000001e-400", nullptr), 0.0);
    EXPECT_EQ(KestFormatUtil::str_to_double("+2.5", nullptr), 2.5);

    const char* text = "  -2.5e1xyz";
    const char* end = nullptr;
    EXPECT_EQ(KestFormatUtil::str_to_double(text, &end), -25.0);
    EXPECT_STREQ(end, "xyz");
    const char* word = "abc";
    EXPECT_EQ(KestFormatUtil::str_to_double(word, &end), 0.0);
    EXPECT_EQ(end, word);
}
