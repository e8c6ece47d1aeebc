// The syntax of a text against the scanner that the reader runs: the same blocks, the same
// entries with the same keys, values and pieces, on random texts of every syntax the reader
// knows; and the lines cover the text byte for byte.
#include "engine/syntax/KestParLineStarts.h"
#include "engine/syntax/KestParSyntax.h"
#include "utilities/KestParFile.h"

#include "support/random_job_text.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// `text` with its last line end taken away, or a lone CR put into a line: texts a random job
// does not make by itself.
std::string roughened(std::string text, unsigned seed) {
    if (seed % 3 == 0) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
    }
    if (seed % 5 == 0 && text.find(" = ") != std::string::npos) {
        text.insert(text.find(" = ") + 3, "\r");
    }
    return text;
}

void expect_as_scanned(const std::string& text) {
    const KestParSyntax syntax(text);
    const std::vector<KestParCommand> file = KestParFile::FromText(text).commands();
    ASSERT_EQ(syntax.Blocks().size(), file.size());
    for (std::size_t b = 0; b < file.size(); ++b) {
        const KestParCommand& block = file[b];
        const KestSyntaxBlock& mine = syntax.Blocks()[b];
        EXPECT_EQ(mine.keyword_line, block.line);
        EXPECT_EQ(syntax.Bytes(syntax.Trimmed(mine.keyword_line)), block.keyword);
        EXPECT_EQ(mine.end_line, block.end_line);
        std::vector<std::size_t> entries;
        for (std::size_t l = mine.keyword_line + 1; l <= mine.end_line; ++l) {
            const KestLineKind kind = syntax.Line(l).kind;
            if (kind == KestLineKind::item || kind == KestLineKind::bare ||
                kind == KestLineKind::comment) {
                entries.push_back(l);
            }
            EXPECT_EQ(syntax.BlockOf(l), b);
        }
        ASSERT_EQ(entries.size(), block.subCommands.size());
        for (std::size_t e = 0; e < entries.size(); ++e) {
            const KestParSubCommand& sub = block.subCommands[e];
            const std::size_t line = entries[e];
            SCOPED_TRACE("line " + std::to_string(line));
            EXPECT_EQ(line, sub.line);
            EXPECT_EQ(syntax.EntryEnd(line), sub.end_line);
            if (sub.kind == 0) {
                EXPECT_EQ(syntax.Line(line).kind, KestLineKind::comment);
                continue;
            }
            EXPECT_EQ(syntax.Bytes(syntax.Key(line)), sub.key);
            EXPECT_EQ(syntax.Value(line), sub.value);
            const std::vector<KestByteSpan> pieces = syntax.Pieces(line);
            ASSERT_EQ(pieces.size(), sub.pieces.size());
            for (std::size_t p = 0; p < pieces.size(); ++p) {
                EXPECT_EQ(syntax.Bytes(pieces[p]), sub.pieces[p]);
            }
            EXPECT_EQ(syntax.Position(syntax.Key(line).begin).column, sub.key_column);
        }
    }
    // Lossless: the lines follow each other to the end of the text.
    std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (std::size_t l = 1; l <= syntax.LineCount(); ++l) {
        ASSERT_EQ(syntax.Line(l).begin, at);
        EXPECT_EQ(syntax.Offset(syntax.Position(at)), at);
        at = syntax.Line(l).next();
    }
    EXPECT_EQ(at, text.size());
}

} // namespace

TEST(Syntax, ReadsEveryTextAsTheScannerDoes) {
    for (unsigned seed = 1; seed <= 400 && !::testing::Test::HasFailure(); ++seed) {
        const std::string text = roughened(test_support::JobText(seed, seed % 2 == 0).Make(), seed);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", text:\n" + text);
        expect_as_scanned(text);
    }
    for (const char* text : {"", "\n", "\xEF\xBB\xBF", "DV", "DV\r", "DV\n  = 0.5\n  a,\n  b,",
                             "END_\nx\n# END_\n  g = 1,\n\n  2\n  3 ,\n#\n  4\nEND_x = 1\nend_"}) {
        SCOPED_TRACE(text);
        expect_as_scanned(text);
    }
}

TEST(Syntax, TellsWhatEachLineIs) {
    const std::string text = "# job\nEND_\nDV\n\n  ID_NAME = d\n  GROUP = 1,\n    2\n"
                             "  # note\n  stray\n  = 0.5\nEND_DV\r\n";
    const KestParSyntax syntax(text);
    using K = KestLineKind;
    const std::vector<K> kinds{K::comment, K::stray_end, K::keyword,      K::blank,
                               K::item,    K::item,      K::continuation, K::comment,
                               K::bare,    K::item,      K::block_end};
    ASSERT_EQ(syntax.LineCount(), kinds.size());
    for (std::size_t l = 1; l <= kinds.size(); ++l) {
        EXPECT_EQ(syntax.Line(l).kind, kinds[l - 1]) << "line " << l;
    }
    EXPECT_EQ(syntax.Line(11).eol, 2);
    EXPECT_EQ(syntax.Bytes(syntax.Key(10)), "");
    EXPECT_EQ(syntax.Bytes(syntax.ValueOnLine(10)), "0.5");
    EXPECT_EQ(syntax.Value(6), "1,\n    2");
    EXPECT_EQ(syntax.BlockOf(2), syntax.Blocks().size());
    EXPECT_EQ(syntax.BlockOf(8), 0u);
    EXPECT_TRUE(syntax.Blocks()[0].closed);
    EXPECT_EQ(syntax.Eol(), "\n");
}

// A stretch of a text's lines from a block's keyword on reads as the whole text's syntax reads
// those lines, and the line starts found as they are passed are the syntax's, asked in any order.
TEST(Syntax, StretchesAndLineStartsReadAsTheWholeText) {
    std::size_t most_lines = 0;
    for (unsigned seed = 1; seed <= 120 && !::testing::Test::HasFailure(); ++seed) {
        std::string text;
        // Several jobs in a row, so that the texts pass the line starts' stride.
        for (unsigned part = 0; part < 1 + seed % 40; ++part) {
            text += test_support::JobText(seed * 31 + part, part % 2 == 0).Make();
        }
        text = roughened(text, seed);
        SCOPED_TRACE("seed " + std::to_string(seed));
        const KestParSyntax whole(text);
        const KestParLineStarts starts(text);
        most_lines = std::max(most_lines, whole.LineCount());
        for (const KestSyntaxBlock& block : whole.Blocks()) {
            const KestParSyntax stretch = starts.Stretch(block.keyword_line, block.end_line);
            ASSERT_EQ(stretch.Blocks().size(), 1u);
            EXPECT_EQ(stretch.Blocks()[0].end_line, block.end_line);
            EXPECT_EQ(stretch.Blocks()[0].closed, block.closed);
            EXPECT_EQ(stretch.Eol(), whole.Eol());
            for (std::size_t l = block.keyword_line; l <= block.end_line; ++l) {
                const KestSyntaxLine a = whole.Line(l);
                const KestSyntaxLine b = stretch.Line(l);
                ASSERT_EQ(std::tie(a.begin, a.length, a.first, a.last, a.equals, a.eol, a.kind),
                          std::tie(b.begin, b.length, b.first, b.last, b.equals, b.eol, b.kind))
                    << "line " << l;
                EXPECT_EQ(stretch.Position(a.begin + a.length), whole.Position(a.begin + a.length));
                if (a.kind == KestLineKind::item || a.kind == KestLineKind::bare) {
                    EXPECT_EQ(stretch.Value(l), whole.Value(l));
                    EXPECT_EQ(stretch.Pieces(l).size(), whole.Pieces(l).size());
                }
            }
        }
        // Every line and the one past the last, in the text's order and in a scrambled one.
        const std::size_t past = whole.LineCount() + 1;
        for (std::size_t i = 0; i < 2 * past; ++i) {
            const std::size_t l = i < past ? i + 1 : 1 + (i * 7919 + seed) % past;
            const std::size_t begin = l < past ? whole.Line(l).begin : text.size();
            ASSERT_EQ(starts.Begin(l), begin) << "line " << l;
            EXPECT_EQ(starts.Line(l), l < past ? whole.Bytes(whole.Content(l)) : "");
        }
        // Lines past the end make an empty stretch, and the starts stay right.
        KestParSyntax beyond = starts.Stretch(past + KestParLineStarts::stride, past + 999);
        EXPECT_TRUE(beyond.Blocks().empty());
        EXPECT_EQ(beyond.LineCount() + 1, beyond.FirstLine());
        starts.ReadStretch(beyond, 1, past);
        EXPECT_EQ(beyond.Blocks().size(), whole.Blocks().size());
        const std::size_t middle = (past + 1) / 2;
        EXPECT_EQ(starts.Begin(middle), middle < past ? whole.Line(middle).begin : text.size());
    }
    EXPECT_GT(most_lines, 3 * KestParLineStarts::stride);
}
