// The positions the reader records: every span of random jobs is checked against the text it
// points at, and the look-ups both ways agree with each other and with what the text holds.
#include "engine/io/KestParFileAdapter.h"
#include "engine/io/KestSourceMap.h"

#include "support/random_job_text.h"
#include "support/text_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

using namespace KestCmdItemDefs;

namespace {

bool blank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The bytes from `from` to `to` (exclusive), lines joined by LF.
std::string slice(const std::vector<std::string>& lines, KestTextPosition from,
                  KestTextPosition to) {
    std::string out;
    for (std::size_t l = from.line; l <= to.line; ++l) {
        const std::string& line = lines[l - 1];
        const std::size_t begin = l == from.line ? from.column - 1 : 0;
        const std::size_t end = l == to.line ? to.column - 1 : line.size();
        out += line.substr(begin, end - begin);
        out += l == to.line ? "" : "\n";
    }
    return out;
}

// Upper case, without white space: how an item's text compares with the value text it came from.
std::string canonical(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (!blank(c)) {
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

void check_item(const std::vector<std::string>& lines, const KestCmd& cmd,
                const KestSourceMap::ItemPlace& place) {
    const KestItemSpan& s = place.span;
    ASSERT_GE(s.key.line, 1u);
    ASSERT_LE(s.value_end.line, lines.size());
    const std::string& line = lines[s.key.line - 1];
    SCOPED_TRACE("line " + std::to_string(s.key.line) + ": '" + line + "'");
    // The key is the first text of its line; the value starts after the '=' and ends with text.
    EXPECT_TRUE(std::all_of(line.begin(), line.begin() + s.key.column - 1, blank));
    ASSERT_LT(s.key.column - 1, line.size());
    EXPECT_FALSE(blank(line[s.key.column - 1]));
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) {
        EXPECT_GT(s.value.column, equals + 1);
        EXPECT_TRUE(
            std::all_of(line.begin() + equals + 1, line.begin() + s.value.column - 1, blank));
    } else {
        EXPECT_EQ(s.key, s.value);
    }
    const std::string& last = lines[s.value_end.line - 1];
    EXPECT_TRUE(std::all_of(last.begin() + std::min(last.size(), s.value_end.column - 1),
                            last.end(), blank));
    const std::string value = slice(lines, s.value, s.value_end);
    EXPECT_TRUE(value.empty() || (!blank(value.front()) && !blank(value.back()))) << value;
    // A value goes on over a line only after a comma.
    for (std::size_t l = s.value.line; l < s.value_end.line; ++l) {
        const std::string& ended = lines[l - 1];
        EXPECT_EQ(ended.substr(ended.find_last_not_of(" \t\r\v\f") + 1 - 1, 1), ",");
    }
    ASSERT_LT(place.index, cmd.ItemCount(place.kind));
    // Except for what a line adds of its own (the TYPE of LE_VALUE, a coefficient), the item's
    // text is what the span holds.
    const std::string item = canonical(cmd.Item(place.kind, place.index).GetString());
    if (place.kind != TYPE && place.kind != COEFFICIENT) {
        EXPECT_NE(canonical(value).find(item), std::string::npos) << item << " in " << value;
    }
}

} // namespace

TEST(SourcePositions, EverySpanOfRandomJobsPointsAtItsText) {
    const KestParFileAdapter reader(L"job.par", KestCmdIoConfig());
    std::size_t items = 0;
    KestSourceMap positions; // each read starts it anew
    for (unsigned seed = 1; seed <= 300 && !::testing::Test::HasFailure(); ++seed) {
        const std::string text = test_support::JobText(seed, seed % 3 == 0).Make();
        SCOPED_TRACE("seed " + std::to_string(seed) + ", job:\n" + text);
        const std::vector<std::string> lines = test_support::lines_of(text);
        KestCmdContainer job;
        std::vector<KestCmd*> created;
        reader.ReadText(text, job, &created, &positions);
        reader.Complete(job);
        ASSERT_EQ(positions.CommandCount(), created.size());
        // Commands that completion made have no place; before the first block and after the
        // text stands no command.
        for (const KestCmd& cmd : job) {
            EXPECT_EQ(positions.Find(cmd).has_value(),
                      std::count(created.begin(), created.end(), &cmd) == 1);
        }
        if (!created.empty() && positions.Find(*created[0])->keyword.line > 1) {
            EXPECT_EQ(positions.At({1, 1}).command, nullptr);
        }
        EXPECT_EQ(positions.At({lines.size() + 1, 1}).command, nullptr);
        for (std::size_t c = 0; c < created.size(); ++c) {
            const KestCmd& cmd = *created[c];
            ASSERT_EQ(&positions.Command(c), &cmd);
            const auto span = positions.Find(cmd);
            ASSERT_TRUE(span.has_value());
            const std::string& keyword_line = lines[span->keyword.line - 1];
            EXPECT_TRUE(std::all_of(keyword_line.begin(),
                                    keyword_line.begin() + span->keyword.column - 1, blank));
            EXPECT_FALSE(blank(keyword_line[span->keyword.column - 1]));
            // A block ends at an END_ line, or at the end of the text.
            ASSERT_LE(span->end_line, lines.size());
            const std::string end = canonical(lines[span->end_line - 1]);
            EXPECT_TRUE(span->end_line == lines.size() || end.rfind("END_", 0) == 0) << end;
            if (span->end_line < lines.size()) {
                EXPECT_FALSE(positions.At({span->end_line, 1}).on_item);
            }
            const KestSourceMap::Hit at_keyword = positions.At(span->keyword);
            EXPECT_EQ(at_keyword.command, &cmd);
            EXPECT_FALSE(at_keyword.on_item);

            for (const KestSourceMap::ItemPlace& place : positions.Items(c)) {
                check_item(lines, cmd, place);
                ++items;
                const auto found = positions.Find(cmd, cmd.Item(place.kind, place.index));
                ASSERT_TRUE(found.has_value());
                EXPECT_EQ(found->value_end, place.span.value_end);
                // The start of its value and the start of its last line are on the item.
                for (const KestTextPosition at :
                     {place.span.value, KestTextPosition{place.span.value_end.line, 1}}) {
                    const KestSourceMap::Hit hit = positions.At(at);
                    EXPECT_EQ(hit.command, &cmd);
                    EXPECT_TRUE(hit.on_item);
                    EXPECT_EQ(hit.span.key, place.span.key);
                }
            }
            // Items the default rules added have no position.
            for (int k = 0; k < item_kind_count; ++k) {
                const auto kind = static_cast<CmdItem>(k);
                for (std::size_t i = 0; i < cmd.ItemCount(kind); ++i) {
                    const auto items_of_line = positions.Items(c);
                    const bool read =
                        std::any_of(items_of_line.begin(), items_of_line.end(),
                                    [&](const auto& p) { return p.kind == kind && p.index == i; });
                    EXPECT_EQ(positions.Find(cmd, kind, i).has_value(), read);
                }
            }
        }
    }
    EXPECT_GT(items, 2000u);
}

// Maps appended one after the other, the way reading on threads adds the parts of a text: each
// command keeps its own span and items, also one that a failure cut short (no END_ line) before
// the next map, and also in a copy.
TEST(SourcePositions, AppendedMapsKeepEachCommandsSpans) {
    KestCmd a(KestCmdDefs::DV);
    KestCmd b(KestCmdDefs::DV);
    KestCmd c(KestCmdDefs::DV);
    const auto item_span = [](std::size_t line) {
        return KestItemSpan{{line, 3}, {line, 8}, {line + 1, 2}};
    };
    KestSourceMap first;
    first.BeginCommand(a, {1, 1});
    first.AddItem(ID_NAME, 0, item_span(2));
    first.EndCommand(5);
    first.BeginCommand(b, {6, 1}); // cut short: two items and no END_ line
    first.AddItem(GROUP, 0, item_span(7));
    first.AddItem(GROUP, 1, item_span(9));
    KestSourceMap second;
    // Large enough to fill more than one page of the map.
    for (std::size_t i = 0; i < 20000; ++i) {
        second.BeginCommand(c, {20 + 4 * i, 1});
        second.AddItem(VALUE, i, item_span(21 + 4 * i));
        second.EndCommand(23 + 4 * i);
    }
    KestSourceMap joined;
    joined.Append(std::move(first));
    joined.Append(std::move(second));
    joined.BeginCommand(a, {90000, 1});
    joined.EndCommand(90001);
    for (const KestSourceMap& map : {joined, KestSourceMap(joined)}) {
        ASSERT_EQ(map.CommandCount(), 20003u);
        EXPECT_EQ(map.Find(a)->end_line, 5u);
        EXPECT_EQ(map.Find(b)->end_line, 10u); // its last item's end
        const auto cut_short = map.Items(1);
        ASSERT_EQ(cut_short.size(), 2u);
        EXPECT_EQ(cut_short[1].span.key.line, 9u);
        for (std::size_t i : {0u, 9999u, 19999u}) {
            const auto items = map.Items(2 + i);
            ASSERT_EQ(items.size(), 1u);
            EXPECT_EQ(items[0].index, i);
            EXPECT_EQ(items[0].span.value_end.line, 22 + 4 * i);
        }
        EXPECT_TRUE(map.Items(20002).empty());
    }
}
