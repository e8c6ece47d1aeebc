#include "utilities/KestText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

TEST(Text, TrimRemovesAsciiWhiteSpaceAtTheEndsOnly) {
    const struct {
        std::string in, out, out_end;
    } rows[] = {
        {"", "", ""},
        {"   ", "", ""},
        {" a ", "a", " a"},
        {"\t\r\n\v\fa b\f\v\n\r\t", "a b", "\t\r\n\v\fa b"},
        {"a  b", "a  b", "a  b"},
        {"\xc2\xa0x\xc2\xa0", "\xc2\xa0x\xc2\xa0",
         "\xc2\xa0x\xc2\xa0"}, // no-break space is no space
        {"\0a\0"s, "\0a\0"s, "\0a\0"s},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(KestText::trim(row.in), row.out) << "input: '" << row.in << "'";
        EXPECT_EQ(KestText::trim_end(row.in), row.out_end) << "input: '" << row.in << "'";
    }
}

TEST(Text, ToUpperCopyChangesOnlyAsciiLettersBeforeAZeroByte) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"", ""},
        {"abc_xyz-09", "ABC_XYZ-09"},
        {"`az{", "`AZ{"},                           // the bytes around a..z stay
        {"\xc3\xa9t\xc3\xa9", "\xc3\xa9T\xc3\xa9"}, // UTF-8 bytes are not letters here
        {"a\0b"s, "A\0b"s},
        {"\0b"s, "\0b"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KestText::to_upper_copy(c.in), c.out) << c.in;
    }
}

// Trimmed, empty and continued pieces are par_file_test's pieces cases; here the edge between
// no text and a blank one, and a vector that held more pieces before.
TEST(Text, SplitPiecesOfABlankTextIsOneEmptyPiece) {
    std::vector<std::string> pieces{"old", "old"};
    KestText::split_pieces(" ", pieces);
    EXPECT_EQ(pieces, std::vector<std::string>{""});
}

TEST(Text, EditDistanceCountsUpToItsLimit) {
    EXPECT_EQ(KestText::edit_distance("GROUP", "GROUP", 2), 0u);
    EXPECT_EQ(KestText::edit_distance("GRUOP", "GROUP", 2), 2u); // a swap is two edits
    EXPECT_EQ(KestText::edit_distance("chek", "check", 2), 1u);
    EXPECT_EQ(KestText::edit_distance("", "ab", 2), 2u);
    // Past the limit, by length alone or by the letters, the answer is limit + 1.
    EXPECT_EQ(KestText::edit_distance("a", "abcd", 2), 3u);
    EXPECT_EQ(KestText::edit_distance("abcd", "wxyz", 2), 3u);
    EXPECT_EQ(KestText::edit_distance("kitten", "sitting", 3), 3u);
    EXPECT_EQ(KestText::edit_distance("kitten", "sitting", 5), 3u);
}
