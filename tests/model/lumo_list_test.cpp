#include "engine/model/LumoList.h"
#include "utilities/ZUL_LogMacros.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <vector>

namespace {

std::vector<int> values_of(const LumoList<int>& list) {
    return {list.begin(), list.end()};
}

std::vector<int> read(const std::string& text, int default_step = 1) {
    LumoList<int> list;
    list.SetDefaultStep(default_step);
    parse_lumo_list(list, text);
    return values_of(list);
}

std::string write(const std::vector<int>& values, int default_step = 1, bool wrap = true) {
    LumoList<int> list;
    list.SetDefaultStep(default_step);
    list.SetWrapOutput(wrap);
    for (int v : values) {
        list.insert(v);
    }
    std::ostringstream out;
    out << list;
    return out.str();
}

std::string failure_of(const std::string& text) {
    LumoList<int> list;
    try {
        parse_lumo_list(list, text);
    } catch (const ZUL_Failure& failure) {
        EXPECT_EQ(failure.GetLogPrefix(), "[%T|%n|%P|LIBUTIL|LumoList] ");
        EXPECT_FALSE(failure.GetCode().exists());
        EXPECT_EQ(failure.GetCause(), nullptr);
        return failure.GetMessage();
    }
    ADD_FAILURE() << "'" << text << "' should not read";
    return {};
}

// Captures the warnings logged while it lives.
class WarningCapture {
  public:
    WarningCapture()
        : _previous(ZUL_LogMacros::set_sink(
              [this](const ZUL_LogMacros::LogRecord& r) { records.push_back(r); })) {}
    ~WarningCapture() { ZUL_LogMacros::set_sink(_previous); }
    std::vector<ZUL_LogMacros::LogRecord> records;

  private:
    ZUL_LogMacros::Sink _previous;
};

} // namespace

TEST(LumoList, ReadsValuesRangesAndSteps) {
    const struct {
        const char* text;
        std::vector<int> values;
    } rows[] = {
        {"", {}},
        {"  \t\n ", {}},
        {"1, 2 ,3", {1, 2, 3}},
        {"3,1,3", {1, 3}},
        {"1,", {1}},
        {"1-", {}},
        {"1-5:", {}},
        {"2,1-", {2}},
        {"5-1", {5}},
        {"5-1:-1", {1, 2, 3, 4, 5}},
        {"10-1:-3", {1, 4, 7, 10}},
        {"1-10:3", {1, 4, 7, 10}},
        {"1-10:4", {1, 5, 9}},
        {"3-3", {3}},
        {"1,3,10-20,30-50:5",
         {1, 3, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 30, 35, 40, 45, 50}},
        {"-3--1", {-3, -2, -1}},
        {"+4", {4}},
        {"1 - 3 : 1", {1, 2, 3}},
        {"1-10:-1", {1}},
        {"99999999999", {}}, // a number the stream cannot read, at the very end
        {"1-99999999999", {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(read(row.text), row.values) << "'" << row.text << "'";
    }
    EXPECT_EQ(read("1-7", 3), (std::vector<int>{1, 4, 7}));
}

TEST(LumoList, RangesStopAtTheLimitsOfInt) {
    EXPECT_EQ(read("2147483640-2147483647:5"), (std::vector<int>{2147483640, 2147483645}));
    EXPECT_EQ(read("2147483645-2147483647"),
              (std::vector<int>{2147483645, 2147483646, 2147483647}));
    EXPECT_EQ(read("-2147483641--2147483648:-5"), (std::vector<int>{-2147483646, -2147483641}));
    EXPECT_EQ(read("-2147483648-2147483647:2147483647"),
              (std::vector<int>{INT_MIN, -1, INT_MAX - 1}));

    LumoList<int> all;
    parse_lumo_list(all, "-2147483648-2147483647");
    EXPECT_EQ(all.size(), 4294967296u);
    EXPECT_TRUE(all.contains(INT_MIN));
    EXPECT_TRUE(all.contains(0));
    EXPECT_TRUE(all.contains(INT_MAX));
    std::ostringstream out;
    out << all;
    EXPECT_EQ(out.str(), "-2147483648-2147483647");
}

TEST(LumoList, FailureMessagesNameTheFaultAndTheValuesRead) {
    // A value is added once the separator behind it is read: 3 is not.
    EXPECT_EQ(failure_of("1,2,3,4;5"), "Unexpected separator character ; in LUMO list. "
                                       "Successfully read values are: 1-3");
    EXPECT_EQ(failure_of("1,2;3"),
              "Unexpected separator character ; in LUMO list. Successfully read values are: 1");
    EXPECT_EQ(failure_of("1,,2"), "Reading LumoList failed. Successfully read values are: 1");
    EXPECT_EQ(failure_of("abc"), "Reading LumoList failed. Successfully read values are: ");
    EXPECT_EQ(failure_of("1-2-3"),
              "Unexpected separator character - in LUMO list. Successfully read values are: ");
    EXPECT_EQ(failure_of("1:2"),
              "Unexpected separator character : in LUMO list. Successfully read values are: ");
    EXPECT_EQ(failure_of("7,1-5:2:3"),
              "Unexpected separator character : in LUMO list. Successfully read values are: 7");
    EXPECT_EQ(failure_of("1 2"),
              "Unexpected separator character 2 in LUMO list. Successfully read values are: ");
    EXPECT_EQ(failure_of("99999999999,1"),
              "Reading LumoList failed. Successfully read values are: ");

    // The values read before the fault stay in the list.
    LumoList<int> list;
    EXPECT_THROW(parse_lumo_list(list, "4,5,6;7"), ZUL_Failure);
    EXPECT_EQ(values_of(list), (std::vector<int>{4, 5}));

    // A long list is cut so that the whole message fits 1023 bytes.
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text += std::to_string(i * i) + ",";
    }
    text += "1;";
    const std::string message = failure_of(text);
    EXPECT_EQ(message.size(), 1023u);
    EXPECT_EQ(message.rfind("Unexpected separator character ; in LUMO list. Successfully read "
                            "values are: 0,1,4,9,",
                            0),
              0u);
}

TEST(LumoList, SeparatorThatCannotBeReadFromAStream) {
    // A stream that yields "5", then shows an "x" that cannot be taken.
    LumoList<int> list;
    struct NumberThenStubborn : std::streambuf {
        std::string text = "5";
        std::size_t pos = 0;
        int_type underflow() override {
            return pos < text.size() ? traits_type::to_int_type(text[pos]) : 'x';
        }
        int_type uflow() override {
            return pos < text.size() ? traits_type::to_int_type(text[pos++]) : traits_type::eof();
        }
    } feed;
    std::istream numbers(&feed);
    try {
        numbers >> list;
        FAIL() << "the separator cannot be read";
    } catch (const ZUL_Failure& failure) {
        EXPECT_STREQ(failure.what(),
                     "Failed to read a separator character. Successfully read values are: ");
    }
}

TEST(LumoList, ZeroStepWarnsAndAddsTheStart) {
    WarningCapture capture;
    EXPECT_EQ(read("1-5:0"), (std::vector<int>{1}));
    EXPECT_EQ(read("4-4:0"), (std::vector<int>{4}));
    ASSERT_EQ(capture.records.size(), 2u);
    const auto& record = capture.records[0];
    EXPECT_EQ(record.message,
              "Invalid stepsize 0 given in LumoList. Adding the step resulted in the same element");
    EXPECT_EQ(record.prefix, "[%T|%n|%P|LIBUTIL|LumoList] ");
    EXPECT_EQ(record.file, "ProtectedInterfaces/LumoList");
    EXPECT_EQ(record.line, 819);

    capture.records.clear();
    EXPECT_EQ(read("1-5", 0), (std::vector<int>{1}));
    EXPECT_TRUE(is_lumo_list("1-5:0"));
    EXPECT_EQ(capture.records.size(), 2u);
}

TEST(LumoList, WritesTheCompactNotation) {
    const struct {
        std::vector<int> values;
        int default_step;
        const char* text;
    } rows[] = {
        {{}, 1, ""},
        {{7}, 1, "7"},
        {{1, 5}, 1, "1,5"},
        {{1, 2, 3, 5}, 1, "1-3,5"},
        {{1, 5, 9}, 1, "1-9:4"},
        {{1, 5, 9}, 4, "1-9"},
        {{1, 2, 4, 6, 8}, 1, "1,2-8:2"},
        {{-3, -2, -1}, 1, "-3--1"},
        {{1, 2, 3, 10, 20, 30}, 1, "1-3,10-30:10"},
        {{1, 3, 4, 6}, 1, "1,3,4,6"},
        {{INT_MIN, INT_MAX}, 1, "-2147483648,2147483647"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(write(row.values, row.default_step), row.text) << row.text;
    }
    std::vector<int> thirty;
    for (int i = 1; i <= 30; ++i) {
        thirty.push_back(i);
    }
    EXPECT_EQ(write(thirty, 1), "1-30");
    EXPECT_EQ(write(thirty, 2), "1-30:1");
}

TEST(LumoList, WrapsAfterNineEntries) {
    // Single values count one entry each: a break after every ninth.
    std::vector<int> singles;
    for (int i = 0; i < 20; ++i) {
        singles.push_back(i * i * 3);
    }
    EXPECT_EQ(write(singles, 1, true), "0,3,12,27,48,75,108,147,192,\n243,300,363,432,507,588,675,"
                                       "768,867,\n972,1083");
    EXPECT_EQ(write(singles, 1, false).find('\n'), std::string::npos);

    // Ranges count two: four ranges and a value make nine.
    const std::vector<int> ranges{1, 2, 3, 10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 50, 51, 52};
    EXPECT_EQ(write(ranges, 1, true), "1-3,10-12,20-22,30-32,40,\n50-52");
}

TEST(LumoList, SettingsCopiesAndClearBeforeRead) {
    LumoList<int> list;
    EXPECT_EQ(list.GetDefaultStep(), 1);
    EXPECT_TRUE(list.GetWrapOutput());
    EXPECT_TRUE(list.GetClearBeforeRead());
    EXPECT_TRUE(list.empty());

    parse_lumo_list(list, "1-3");
    list.SetClearBeforeRead(false);
    parse_lumo_list(list, "10,2");
    EXPECT_EQ(values_of(list), (std::vector<int>{1, 2, 3, 10}));
    list.SetClearBeforeRead(true);
    std::istringstream in(" 7-9 ");
    in >> list;
    EXPECT_EQ(values_of(list), (std::vector<int>{7, 8, 9}));

    list.SetDefaultStep(3);
    list.SetWrapOutput(false);
    const LumoList<int> copy = list;
    EXPECT_EQ(copy.GetDefaultStep(), 3);
    EXPECT_FALSE(copy.GetWrapOutput());
    EXPECT_EQ(values_of(copy), values_of(list));

    EXPECT_TRUE(is_lumo_list("5"));
    EXPECT_TRUE(is_lumo_list("1-3"));
    EXPECT_FALSE(is_lumo_list("abc"));
    EXPECT_FALSE(is_lumo_list("1 2"));
}

TEST(LumoList, HugeRangesCostTheirTextOnly) {
    LumoList<int> list;
    parse_lumo_list(list, "1-2000000000:3");
    EXPECT_EQ(list.size(), 666666667u);
    EXPECT_TRUE(list.contains(1999999999));
    EXPECT_FALSE(list.contains(2000000000));
    EXPECT_EQ(list.runs().runs().size(), 1u);

    parse_lumo_list(list, "1-2000000000:2,2-2000000000:2");
    EXPECT_EQ(list.size(), 2000000000u);
    std::ostringstream out;
    out << list;
    EXPECT_EQ(out.str(), "1-2000000000");
}
