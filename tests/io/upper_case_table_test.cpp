#include "engine/io/detail/UpperCaseTable.h"
#include "utilities/KestText.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

TEST(UpperCaseTable, AssignReplacesAndNamesAreKeptAsGiven) {
    UpperCaseTable<int> table;
    EXPECT_EQ(table.find(""), nullptr);
    EXPECT_TRUE(table.emplace("TYPE", 1));
    EXPECT_FALSE(table.emplace("TYPE", 99)); // the first value stays
    EXPECT_TRUE(table.emplace("", 2) && table.emplace("lower", 3));
    table.assign("TYPE", 42);
    table.assign("NEW", 7);
    EXPECT_EQ(*table.find("type"), 42);
    EXPECT_EQ(*table.find("new"), 7);
    EXPECT_EQ(*table.find(""), 2);
    EXPECT_TRUE(table.contains("lower"));
    EXPECT_FALSE(table.contains("LOWER"));
    EXPECT_EQ(table.find("lower"), nullptr); // no text upper-cases to a name with small letters
}

// Every look-up must find exactly what a map searched with to_upper_copy(text) finds, with many
// names of a few bytes, zero bytes among them: names that differ only after a zero byte, names
// that are what stands before another's zero byte. With hundreds of names the probe runs
// are long, so a hash and a comparison that treat the bytes after a zero differently show.
TEST(UpperCaseTable, AgreesWithAMapOnManyNamesWithZeroBytes) {
    std::mt19937 random(11);
    const auto text = [&random] {
        std::string t(1 + random() % 6, ' ');
        for (char& c : t) {
            c = "aAbB\0_"[random() % 6];
        }
        return t;
    };
    UpperCaseTable<int> table;
    std::map<std::string, int> model;
    for (int i = 0; i < 800; ++i) {
        const std::string name = text();
        ASSERT_EQ(table.emplace(name, i), model.emplace(name, i).second);
    }
    for (int i = 0; i < 40000; ++i) {
        const std::string query = text();
        const auto expected = model.find(KestText::to_upper_copy(query));
        const int* found = table.find(query);
        ASSERT_EQ(found != nullptr ? *found : -1, expected != model.end() ? expected->second : -1)
            << ::testing::PrintToString(query);
    }
}
