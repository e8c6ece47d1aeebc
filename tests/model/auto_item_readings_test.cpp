#include "engine/model/KestCmd.h"
#include "engine/model/KestCmdAutoItem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

using namespace KestCmdItemDefs;

namespace {

const EnumMap& enums() {
    static const EnumMap map = create_enum_map();
    return map;
}

struct Readings {
    std::string text;
    std::optional<int> integer;
    std::optional<double> real;
    std::optional<std::array<double, 3>> vector;
    std::optional<int> enumerated;
    std::optional<std::vector<std::string>> list;
    std::optional<std::vector<int>> lumo;
};

void expect_readings(const std::string& value, const Readings& r) {
    SCOPED_TRACE("value '" + value + "'");
    const KestCmdAutoItem item(value, enums());
    EXPECT_TRUE(item.HasString());
    EXPECT_EQ(item.GetString(), r.text);
    EXPECT_EQ(item.HasInteger(), r.integer.has_value());
    EXPECT_EQ(item.GetInteger(), r.integer.value_or(0));
    EXPECT_EQ(item.HasReal(), r.real.has_value());
    EXPECT_EQ(item.GetReal(), r.real.value_or(0.0));
    EXPECT_EQ(item.HasVector3d(), r.vector.has_value());
    const auto v = item.GetVector3d();
    if (r.vector) {
        EXPECT_EQ((std::array<double, 3>{v[0], v[1], v[2]}), *r.vector);
    } else if (std::count(r.text.begin(), r.text.end(), ',') != 2) {
        // Only a text of three parts has components; any other gives the zero vector.
        EXPECT_EQ(v, (KestMatrix<3, 1, double>{}));
    }
    EXPECT_EQ(item.HasEnum(), r.enumerated.has_value());
    EXPECT_EQ(item.GetEnum(), r.enumerated.value_or(-1));
    EXPECT_EQ(item.HasList(), r.list.has_value());
    EXPECT_EQ(item.GetList(), r.list.value_or(std::vector<std::string>{}));
    EXPECT_EQ(item.HasLumoList(), r.lumo.has_value());
    const LumoList<int> lumo = item.GetLumoList();
    EXPECT_EQ(std::vector<int>(lumo.begin(), lumo.end()), r.lumo.value_or(std::vector<int>{}));
    EXPECT_FALSE(item.HasReference());
    EXPECT_EQ(item.GetReference(), nullptr);
    EXPECT_FALSE(item.HasType(DT_RESERVED));
    EXPECT_FALSE(item.HasType(static_cast<DataType>(9)));
    EXPECT_FALSE(item.HasType(static_cast<DataType>(-1)));
}

} // namespace

TEST(AutoItem, ReadingsOfTypicalTexts) {
    using V = std::vector<std::string>;
    using L = std::vector<int>;
    expect_readings("42", {"42", 42, 42.0, {}, {}, V{"42"}, L{42}});
    expect_readings("2.5", {"2.5", {}, 2.5, {}, {}, V{"2.5"}, {}});
    expect_readings("1,0,0", {"1,0,0", {}, {}, {{1, 0, 0}}, {}, V{"1", "0", "0"}, L{0, 1}});
    expect_readings("1-10:3", {"1-10:3", {}, {}, {}, {}, V{"1-10:3"}, L{1, 4, 7, 10}});
    expect_readings("YES", {"YES", {}, {}, {}, 89, V{"YES"}, {}});
    expect_readings("a,b,c", {"a,b,c", {}, {}, {}, {}, V{"a", "b", "c"}, {}});
    expect_readings("'1,2,3'", {"'1,2,3'", {}, {}, {}, {}, V{"'1", "2", "3'"}, {}});
}

TEST(AutoItem, EdgeCasesOfTyping) {
    using V = std::vector<std::string>;
    using L = std::vector<int>;
    expect_readings(" 42 ", {"42", 42, 42.0, {}, {}, V{"42"}, L{42}});
    // The keyword look-up uses the value as passed, before trimming.
    expect_readings(" YES", {"YES", {}, {}, {}, {}, V{"YES"}, {}});
    expect_readings("yes", {"yes", {}, {}, {}, {}, V{"yes"}, {}});
    expect_readings("MERGE", {"MERGE", {}, {}, {}, EV_MIN, V{"MERGE"}, {}});
    expect_readings("1,2", {"1,2", {}, {}, {}, {}, V{"1", "2"}, L{1, 2}});
    expect_readings("", {"", {}, {}, {}, {}, {}, L{}});
    // Out of the int range: no integer reading, but still a real one (and no integer list).
    expect_readings("99999999999",
                    {"99999999999", {}, 99999999999.0, {}, {}, V{"99999999999"}, L{}});
    expect_readings("1.5,-2,3e1",
                    {"1.5,-2,3e1", {}, {}, {{1.5, -2, 30}}, {}, V{"1.5", "-2", "3e1"}, {}});
    // Parts are not trimmed before the number tests, so blanks spoil the vector.
    expect_readings("1, 0, 0", {"1, 0, 0", {}, {}, {}, {}, V{"1", "0", "0"}, L{0, 1}});
    // A zero byte inside the text is part of it, not its end.
    expect_readings(std::string("12\0x", 4),
                    {std::string("12\0x", 4), {}, {}, {}, {}, V{std::string("12\0x", 4)}, {}});

    // A text that reads as an integer and as a real takes its real reading from the decimal
    // conversion, which keeps the sign of a negative zero.
    for (const char* zero : {"-0", "-00", "-0000"}) {
        const KestCmdAutoItem item(zero, enums());
        EXPECT_EQ(item.GetInteger(), 0) << zero;
        EXPECT_TRUE(std::signbit(item.GetReal())) << zero;
    }
    EXPECT_FALSE(std::signbit(KestCmdAutoItem("0", enums()).GetReal()));

    // A failed vector keeps the components it could read.
    const KestCmdAutoItem partial("1,abc,3", enums());
    EXPECT_FALSE(partial.HasVector3d());
    KestMatrix<3, 1, double> expected;
    expected[0] = 1;
    expected[2] = 3;
    EXPECT_EQ(partial.GetVector3d(), expected);
    EXPECT_EQ(partial.GetList().size(), 3u);
}

TEST(AutoItem, ReferencesAndCopies) {
    KestCmd target(KestCmdDefs::DRESP);
    KestCmdAutoItem item("resp_1", enums());
    EXPECT_FALSE(item.HasType(DT_REFERENCE));
    item.AddReference(target);
    EXPECT_TRUE(item.HasReference() && item.HasType(DT_REFERENCE));
    KestCmdAutoItem assigned("other", enums());
    assigned = item;
    const std::unique_ptr<const KestCmdItem> clone = item.Clone();
    for (const KestCmdItem* copy : {clone.get(), static_cast<const KestCmdItem*>(&assigned)}) {
        EXPECT_EQ(copy->GetReference(), &target);
        EXPECT_EQ(copy->GetList(), std::vector<std::string>{"resp_1"});
    }
}

// A text is kept whole whatever its length: in the item itself up to 10 bytes, beside it in the
// pool up to a few hundred, on the heap beyond; copies and assignments between them included.
TEST(AutoItem, TextsOfEveryLengthAreKeptWhole) {
    std::vector<std::string> texts;
    for (std::size_t length : {0, 1, 9, 10, 11, 16, 247, 248, 249, 300, 70000}) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) {
            text += static_cast<char>(i % 7 == 3 ? '\0' : 'a' + i % 26);
        }
        texts.push_back(text);
    }
    texts.push_back("1234567890");  // an integer of 10 bytes
    texts.push_back("-1234567890"); // and of 11
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.size());
        auto item = std::make_unique<KestCmdAutoItem>(text, enums());
        EXPECT_EQ(item->GetString(), text);
        EXPECT_EQ(item->KeptText(), std::optional<std::string_view>(text));
        EXPECT_EQ(item->HasInteger(), text.size() > 9 && text[text.size() - 1] == '0');
        for (const std::string& other : texts) {
            KestCmdAutoItem copy(*item);
            KestCmdAutoItem assigned(other, enums());
            assigned = *item;
            copy = KestCmdAutoItem(other, enums());
            EXPECT_EQ(assigned.GetString(), text);
            EXPECT_EQ(copy.GetString(), other);
        }
        KestCmdAutoItem& self = *item;
        *item = self;
        EXPECT_EQ(item->GetString(), text);
    }
    // A text that fails typing (too many runs to hold) leaves nothing behind.
    EXPECT_THROW(KestCmdAutoItem("1-2000000000:3,2-2000000000:3", enums()), std::length_error);
}
