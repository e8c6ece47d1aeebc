#include "engine/io/detail/UpperCaseTable.h"
#include "utilities/KestText.h"

#include <gtest/gtest.h>

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
        const std::string upper = KestText::to_upper_copy(query);
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

TEST(UpperCaseTable, HoldsManyNames) {
    UpperCaseTable<int> table;
    for (int i = 0; i < 500; ++i) {
        table.emplace("NAME_" + std::to_string(i), i);
    }
    for (int i = 0; i < 500; ++i) {
        const int* found = table.find("name_" + std::to_string(i));
        ASSERT_NE(found, nullptr) << i;
        EXPECT_EQ(*found, i);
    }
    EXPECT_EQ(table.find("name_500"), nullptr);
}
