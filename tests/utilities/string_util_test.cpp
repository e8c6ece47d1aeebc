#include "utilities/KestStringUtil.h"

#include <gtest/gtest.h>

TEST(StringUtil, SplitKeepsEmptyPartsAndAppends) {
    const struct {
        std::string in;
        std::vector<std::string> parts;
    } rows[] = {
        {"", {}},
        {"a", {"a"}},
        {",", {"", ""}},
        {"a,,b", {"a", "", "b"}},
        {" 1, 2 ,", {" 1", " 2 ", ""}},
        {"a;b,c", {"a", "b", "c"}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> parts{"kept"};
        EXPECT_EQ(KestStringUtil::Split(row.in, ",;", parts), row.parts.size()) << row.in;
        std::vector<std::string> expected{"kept"};
        expected.insert(expected.end(), row.parts.begin(), row.parts.end());
        EXPECT_EQ(parts, expected) << row.in;
    }
}
