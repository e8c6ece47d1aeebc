#include "engine/io/KestCmdIo.h"
#include "engine/io/UpperCaseTable.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

using namespace std::string_literals;

// Every look-up must find exactly what a map searched with to_upper_copy(text) finds.
TEST(UpperCaseTable, FindsWhatTheUpperCasedCopyWouldFind) {
    UpperCaseTable<int> table;
    const std::string names[] = {"ID_NAME", "TYPE", "lower", "A\0b"s, "A\0B"s, "", "X1"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(table.emplace(names[i], i));
    }
    EXPECT_FALSE(table.emplace("TYPE", 99)); // the first value stays
    const std::string queries[] = {"id_name", "Id_Name", "ID_NAME",  "type",  "lower",
                                   "LOWER",   "a\0b"s,   "a\0B"s,    "A\0b"s, "",
                                   "x1",      "X2",      "ID_NAME ", "ID_NAM"};
    for (const std::string& query : queries) {
        const std::string upper = KestCmdIo::to_upper_copy(query);
        int expected = -1;
        for (int i = 0; i < 7; ++i) {
            if (names[i] == upper) {
                expected = i;
            }
        }
        const int* found = table.find(query);
        EXPECT_EQ(found != nullptr ? *found : -1, expected) << "query '" << query << "'";
    }
    table.assign("TYPE", 42);
    table.assign("NEW", 7);
    EXPECT_EQ(*table.find("type"), 42);
    EXPECT_EQ(*table.find("new"), 7);
    EXPECT_TRUE(table.contains("lower"));
    EXPECT_FALSE(table.contains("LOWER"));
}

// Many names of a few bytes, zero bytes among them: names that differ only after a zero byte,
// names that are what stands before another's zero byte. With hundreds of names the probe runs
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
        const auto expected = model.find(KestCmdIo::to_upper_copy(query));
        const int* found = table.find(query);
        ASSERT_EQ(found != nullptr ? *found : -1, expected != model.end() ? expected->second : -1)
            << ::testing::PrintToString(query);
    }
}
