#include "utilities/KestParFile.h"
#include "utilities/detail/KestParScanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A block in one line of text: "KEYWORD@line{kind key=value@line;...}", with the pieces of each
// line ("[a|b|]") when asked for, so that a table row states the complete result and a mismatch
// shows every difference at once.
std::string dump(const KestParCommand& block, bool pieces = false) {
    std::string out = block.keyword + "@" + std::to_string(block.line) + "{";
    for (const KestParSubCommand& sub : block.subCommands) {
        out += std::to_string(sub.kind) + " " + sub.key + "=" + sub.getValueLine() + "@" +
               std::to_string(sub.line);
        if (pieces) {
            out += "[";
            for (const std::string& piece : sub.pieces) {
                out += piece + "|";
            }
            out += "]";
        }
        out += ";";
    }
    return out + "}";
}

std::string dump(const KestParFile& file) {
    std::string out;
    for (const KestParCommand& block : file) {
        out += dump(block);
    }
    return out;
}

struct GrammarCase {
    const char* name;
    std::string text;
    std::string expected;
};

} // namespace

TEST(ParFile, SplitsBlocksAndLinesByTheGrammar) {
    const GrammarCase cases[] = {
        {"empty text", "", ""},
        {"byte-order mark and CR LF",
         "\xEF\xBB\xBF"
         "DV\r\n  ID_NAME = d1\r\nEND_\r\n",
         "DV@1{1 ID_NAME=d1@2;}"},
        // Only a mark at the very start is skipped; elsewhere it is text.
        {"mark inside", "DV\n\xEF\xBB\xBFK = v\nEND_\n", "DV@1{1 \xEF\xBB\xBFK=v@2;}"},
        {"blank lines", "\n \t\nDV\n\n   \nA = 1\n\nEND_\n\n", "DV@3{1 A=1@6;}"},
        {"comments", "# head\n  #x\nDV\n  # inside \nEND_\n# tail\n", "DV@3{0 =# inside@4;}"},
        {"end lines outside a block", "END_\nend_dv\nDV\nEND_DV\n", "DV@3{}"},
        {"end in lower case closes", "DV\nend_dv\nSTOP\nEnd_\n", "DV@1{}STOP@3{}"},
        {"a keyword line may hold '='", "DV\nEND_\nA = 1\nEND_\n", "DV@1{}A = 1@3{}"},
        {"end look-alikes are items", "DV\nEND_X = 1\nEND\nENDING\n  END_ more\n",
         "DV@1{1 END_X=1@2;1 =END@3;1 =ENDING@4;}"},
        {"end of text closes", "DV\nA = 1", "DV@1{1 A=1@2;}"},
        {"no final line feed", "DV\nEND_\nSTOP", "DV@1{}STOP@3{}"},
        {"key and value", "DV\n  A  =  b = c  \n= x\nK =\n  lone text  \nEND_\n",
         "DV@1{1 A=b = c@2;1 =x@3;1 K=@4;1 =lone text@5;}"},
        {"continuation", "DV\nL = 1,\n  2 ,  \n3\nB = x\nEND_\n",
         "DV@1{1 L=1,\n  2 ,\n3@2;1 B=x@5;}"},
        {"continuation of a line without '='", "DV\na,\n\tb\nEND_\n", "DV@1{1 =a,\n\tb@2;}"},
        {"continuation stops at a blank line", "DV\nL = 1,\n\n2\nEND_\n", "DV@1{1 L=1,@2;1 =2@4;}"},
        {"continuation stops at a comment", "DV\nL = 1,\n# c\n2\nEND_\n",
         "DV@1{1 L=1,@2;0 =# c@3;1 =2@4;}"},
        {"continuation stops at the block end", "DV\nL = 1,\nend_\nSTOP\n",
         "DV@1{1 L=1,@2;}STOP@4{}"},
        {"continuation stops at '='", "DV\nL = 1,\nM = 2\nEND_\n", "DV@1{1 L=1,@2;1 M=2@3;}"},
        {"continuation stops at the end", "DV\nL = 1,", "DV@1{1 L=1,@2;}"},
        {"comments do not continue", "DV\n# a,\nb\nEND_\n", "DV@1{0 =# a,@2;1 =b@3;}"},
    };
    for (const GrammarCase& c : cases) {
        EXPECT_EQ(dump(KestParFile::FromText(c.text)), c.expected) << c.name;
    }
}

TEST(ParFile, PiecesAreTheTrimmedCommaSeparatedValue) {
    const KestParFile file = KestParFile::FromText("DV\n  REFERENCE = DRESP , d1,2.5\n  EMPTY =\n  "
                                                   "GAPS = a,,b,\n  LIST = 1,\n    2\n  # c, d\n");
    // The line feed of a continuation is white space around a piece; comments have none.
    EXPECT_EQ(
        dump(file.commands().at(0), true),
        "DV@1{1 REFERENCE=DRESP , d1,2.5@2[DRESP|d1|2.5|];1 EMPTY=@3[];1 GAPS=a,,b,@4[a||b||];"
        "1 LIST=1,\n    2@5[1|2|];0 =# c, d@7[];}");
}

// A block passed to Next again and again must come out exactly as a fresh one would: a comment
// line after an item line has no key or pieces left over, fewer lines leave none behind.
TEST(ParFile, ScannerReusingOneBlockGivesTheBlocksOfTheWholeFile) {
    const std::string text = "GROUP_DEF\n"
                             "  ID_NAME = g1\n"
                             "  GROUP = 1-10,\n"
                             "    20-30:2\n"
                             "  TYPE = ELEMENT\n"
                             "  X = a,b,c,d\n"
                             "END_\n"
                             "DV\n"
                             "  # REFERENCE = a, b\n"
                             "  NAME\n"
                             "END_\n"
                             "STOP\n"
                             "END_\n"
                             "OPTIMIZE\n"
                             "  A = 1\n"
                             "  B = x, y\n"
                             "  C = ,\n"
                             "  D = 4\n"
                             "  E = 5\n"
                             "  F =\n";
    std::vector<std::string> fresh;
    for (const KestParCommand& block : KestParFile::FromText(text)) {
        fresh.push_back(dump(block, true));
    }
    ASSERT_EQ(fresh.size(), 4u);
    EXPECT_EQ(fresh[1], "DV@8{0 =# REFERENCE = a, b@9[];1 =NAME@10[NAME|];}");

    KestParScanner scanner(text);
    KestParCommand reused;
    std::vector<std::string> scanned;
    while (scanner.Next(reused)) {
        scanned.push_back(dump(reused, true));
    }
    EXPECT_EQ(scanned, fresh);
    EXPECT_FALSE(scanner.Next(reused));
}
