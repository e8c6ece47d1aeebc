// Integer lists in the cases the random comparison with the model of lumo_reference.h cannot
// reach: the limits of int, huge ranges, long failure messages, streams and warnings.
#include "engine/model/LumoList.h"
#include "lumo_reference.h"
#include "utilities/ZUL_LogMacros.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <vector>

namespace {

using lumo_reference::values_of;

std::vector<int> read(const std::string& text, int default_step = 1) {
    LumoList<int> list;
    list.SetDefaultStep(default_step);
    parse_lumo_list(list, text);
    return values_of(list);
}

std::string written(const LumoList<int>& list) {
    std::ostringstream out;
    out << list;
    return out.str();
}

} // namespace

// A few texts, so that the model's own reading is pinned too.
TEST(LumoList, ReadsValuesRangesAndSteps) {
    EXPECT_EQ(read("3,1,3, 5-1, 10-20:5, -3--2, +4"),
              (std::vector<int>{-3, -2, 1, 3, 4, 5, 10, 15, 20}));
    EXPECT_EQ(read("10-1:-4, 1-"), (std::vector<int>{2, 6, 10}));
    EXPECT_EQ(read("1-7", 3), (std::vector<int>{1, 4, 7}));
    EXPECT_EQ(read("1-10:-1,1-99999999999"), (std::vector<int>{1})); // too big, at the very end
}

TEST(LumoList, RangesAndStridesReachTheLimitsOfInt) {
    EXPECT_EQ(read("2147483640-2147483647:5"), (std::vector<int>{2147483640, 2147483645}));
    EXPECT_EQ(read("-2147483641--2147483648:-5"), (std::vector<int>{-2147483646, -2147483641}));
    const std::vector<int> extremes{INT_MIN, -1, INT_MAX - 1};
    EXPECT_EQ(read("-2147483648-2147483647:2147483647"), extremes);
    LumoList<int> list;
    for (int v : extremes) {
        list.insert(v);
    }
    EXPECT_EQ(written(list), "-2147483648-2147483646:2147483647");

    LumoList<int> all;
    parse_lumo_list(all, "-2147483648-2147483647");
    EXPECT_EQ(all.size(), 4294967296u);
    EXPECT_TRUE(all.contains(INT_MIN) && all.contains(0) && all.contains(INT_MAX));
    EXPECT_EQ(written(all), "-2147483648-2147483647");

    parse_lumo_list(list, "1-2000000000:3");
    EXPECT_EQ(list.size(), 666666667u);
    EXPECT_TRUE(list.contains(1999999999));
    EXPECT_FALSE(list.contains(2000000000));
    EXPECT_EQ(list.runs().runs().size(), 1u);
    parse_lumo_list(list, "1-2000000000:2,2-2000000000:2");
    EXPECT_EQ(list.size(), 2000000000u);
    EXPECT_EQ(written(list), "1-2000000000");
}

TEST(LumoList, FailuresCarryTheirPrefixAndAreCutTo1023Bytes) {
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text += std::to_string(i * i) + ",";
    }
    LumoList<int> list;
    try {
        parse_lumo_list(list, text + "1;");
        FAIL() << "the text should not read";
    } catch (const ZUL_Failure& failure) {
        EXPECT_EQ(failure.GetLogPrefix(), "[%T|%n|%P|LIBUTIL|LumoList] ");
        EXPECT_EQ(failure.GetMessage().size(), 1023u);
        EXPECT_EQ(failure.GetMessage().rfind("Unexpected separator character ; in LUMO list. "
                                             "Successfully read values are: 0,1,4,9,",
                                             0),
                  0u);
    }
    EXPECT_EQ(list.size(), 400u); // what was read before the fault stays

    // A stream that yields "5", then shows an "x" that cannot be taken.
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

TEST(LumoList, ZeroStepWarnsOnceForEachReadAndAddsTheStart) {
    std::vector<ZUL_LogMacros::LogRecord> records;
    const auto previous = ZUL_LogMacros::set_sink(
        [&records](const ZUL_LogMacros::LogRecord& r) { records.push_back(r); });
    EXPECT_EQ(read("1-5:0"), (std::vector<int>{1}));
    EXPECT_EQ(read("1-5", 0), (std::vector<int>{1}));
    EXPECT_TRUE(is_lumo_list("4-4:0"));
    // An auto item reports it for its trial read and its real read, and not when it rebuilds.
    const KestCmdAutoItem item("1-5:0", KestCmdItemDefs::create_enum_map());
    EXPECT_EQ(item.GetLumoList().size(), 1u);
    ZUL_LogMacros::set_sink(previous);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].message,
              "Invalid stepsize 0 given in LumoList. Adding the step resulted in the same element");
    EXPECT_EQ(records[0].prefix, "[%T|%n|%P|LIBUTIL|LumoList] ");
}

TEST(LumoList, SettingsCopiesAndClearBeforeRead) {
    LumoList<int> list;
    EXPECT_TRUE(list.GetDefaultStep() == 1 && list.GetWrapOutput() && list.GetClearBeforeRead());
    parse_lumo_list(list, "1-3"); // (not clearing: the random insertions of the differential test)
    std::istringstream in(" 7-9 ");
    in >> list;
    EXPECT_EQ(values_of(list), (std::vector<int>{7, 8, 9}));

    list.SetDefaultStep(3);
    list.SetWrapOutput(false);
    const LumoList<int> copy = list;
    EXPECT_EQ(copy.GetDefaultStep(), 3);
    EXPECT_FALSE(copy.GetWrapOutput());
    EXPECT_EQ(values_of(copy), values_of(list));
}
