// The document layer: an unedited document is the text it read, each edit changes only its own
// bytes, and after any sequence of random edits the text reads as the job the edits describe.
#include "engine/io/KestParDocument.h"
#include "engine/syntax/KestParItemSource.h"
#include "utilities/KestFileUtil.h"
#include "utilities/KestText.h"
#include "utilities/ZUL_Exception.h"

#include "support/random_job_text.h"
#include "support/test_support.h"
#include "support/written_job.h"

#include <gtest/gtest.h>

#include <memory>

#include <algorithm>
#include <filesystem>
#include <random>
#if defined(_WIN32)
#include <windows.h>
#endif

using namespace KestCmdItemDefs;
namespace fs = std::filesystem;

namespace {

using test_support::job_of;
using test_support::written;

// A job as blocks of lines, rendered plainly: what an edit is expected to do to the job.
struct Model {
    struct Block {
        std::string keyword;
        std::vector<KestParSubCommand> lines;
    };
    std::vector<Block> blocks;

    explicit Model(const std::string& text) {
        for (const KestParCommand& block : KestParFile::FromText(text)) {
            Block b{block.keyword, {}};
            for (const KestParSubCommand& line : block.subCommands) {
                if (line.kind != 0) {
                    b.lines.push_back(line);
                }
            }
            blocks.push_back(std::move(b));
        }
    }
    KestParSubCommand* LineAt(std::size_t block, std::size_t line_number) {
        for (KestParSubCommand& line : blocks[block].lines) {
            if (line.line == line_number) {
                return &line;
            }
        }
        return nullptr;
    }
    std::string Render() const {
        std::string text;
        for (const Block& block : blocks) {
            text += block.keyword + "\n";
            for (const KestParSubCommand& line : block.lines) {
                text += line.key.empty() ? line.value + "\n" : line.key + " = " + line.value + "\n";
                // A value ending with ',' that took no line must not take the next one here.
                text += !line.value.empty() && line.value.back() == ',' ? "#\n" : "";
            }
            text += "END_\n";
        }
        return text;
    }
};

// Random edits of random jobs, each checked against the model and for the bytes it may touch.
class Editor {
  public:
    explicit Editor(unsigned seed) : _rng(seed) {}

    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(_rng);
    }
    std::string Value() {
        return OneOf({"0.5", "NEW_NAME", "1-20:2", "mma", "two words", "", "7"});
    }
    std::string Key() {
        return OneOf({"VALUE", "GROUP", "TYPE", "ID_NAME", "Colour", "LE_VALUE", "DRESP"});
    }
    std::string OneOf(const std::vector<std::string>& pool) { return pool[Pick(pool.size())]; }

    // One random edit of `doc`; returns false when the job offered nothing to edit.
    bool Edit(KestParDocument& doc) {
        const KestSourceMap& positions = doc.Positions();
        const std::string before = doc.Text();
        Model model(before);
        const std::size_t count = positions.CommandCount();
        const std::size_t action = Pick(7);
        if (count == 0 || action == 3) {
            const std::size_t after = count == 0 || Pick(2) == 0 ? count : Pick(count);
            const std::string keyword = Pick(2) == 0 ? "DRESP" : "STOP";
            const std::string value = Value();
            doc.AddCommand(keyword, {{"ID_NAME", "added"}, {"VALUE", value}},
                           after < count ? &positions.Command(after) : nullptr);
            Model::Block block{keyword, {}};
            block.lines.push_back({1, "ID_NAME", {}, 0, "added"});
            block.lines.push_back({1, "VALUE", {}, 0, value});
            const std::size_t at = after < count ? after + 1 : count;
            model.blocks.insert(model.blocks.begin() + static_cast<long>(at), block);
            return Check(doc, model);
        }
        const std::size_t c = Pick(count);
        const KestCmd& cmd = positions.Command(c);
        const auto items = positions.Items(c);
        if (action == 4) {
            doc.RemoveCommand(cmd);
            model.blocks.erase(model.blocks.begin() + static_cast<long>(c));
            return Check(doc, model);
        }
        if (action == 5) {
            const std::string key = Key();
            const std::string value = Value();
            doc.AddItem(cmd, key, value);
            // The new line stands where the texts start to differ; the model puts it there too.
            const std::string& after = doc.Text();
            const std::size_t first = static_cast<std::size_t>(
                std::mismatch(before.begin(), before.end(), after.begin(), after.end()).first -
                before.begin());
            const std::size_t new_line = static_cast<std::size_t>(
                std::count(before.begin(), before.begin() + static_cast<long>(first), '\n') + 1);
            auto& lines = model.blocks[c].lines;
            const auto next = std::find_if(lines.begin(), lines.end(),
                                           [&](const auto& l) { return l.line >= new_line; });
            lines.insert(next, {1, key, {}, new_line, value});
            return Check(doc, model);
        }
        if (action == 6) {
            return Rename(doc, cmd, c, before);
        }
        if (items.empty()) {
            return false;
        }
        const auto& place = items[Pick(items.size())];
        KestParSubCommand* line = model.LineAt(c, place.span.key.line);
        if (line == nullptr) {
            return false;
        }
        const std::size_t begin = Offset(before, place.span.value);
        const std::size_t end = Offset(before, place.span.value_end);
        if (action <= 1) {
            const std::string value = Value();
            try {
                doc.SetValue(cmd, place.kind, place.index, value);
            } catch (const KestParEditError&) {
                return line->key.empty(); // a line without '=' takes no empty value
            }
            line->value = value;
            // Only the value's bytes changed (a space may join an empty value's '=').
            const std::string& after = doc.Text();
            EXPECT_EQ(after.substr(0, begin), before.substr(0, begin));
            EXPECT_EQ(after.substr(after.size() - (before.size() - end)), before.substr(end));
            return Check(doc, model);
        }
        // Remove the line: only its bytes go. A line that makes other items too is kept.
        try {
            doc.RemoveItem(cmd, place.kind, place.index);
        } catch (const KestParEditError&) {
            EXPECT_EQ(doc.Text(), before);
            const KestItemSource source =
                item_source(doc.Syntax(), doc.Positions(), cmd, place.kind, place.index);
            // Refused only for a line that makes other items, or an operator's reference
            // whose removal would move the coefficients of the others.
            EXPECT_TRUE(source.shared || cmd.GetType() == KestCmdDefs::OPERATOR);
            return false;
        }
        auto& lines = model.blocks[c].lines;
        lines.erase(std::find_if(lines.begin(), lines.end(),
                                 [&](const KestParSubCommand& l) { return l.line == line->line; }));
        return Check(doc, model);
    }

  private:
    // A rename to a random name, of the job's or one that cannot stand as a name: refused with
    // the text unchanged, or done where find-references said the command is named.
    bool Rename(KestParDocument& doc, const KestCmd& cmd, std::size_t c,
                const std::string& before) {
        if (!cmd.HasItem(ID_NAME) || !doc.Positions().Find(cmd, ID_NAME, 0)) {
            return false;
        }
        const std::string name =
            OneOf({"Renamed", "#x", "a,b", "END_X", "x=y", "", "P1", "main", "vol", "d1"});
        std::vector<std::size_t> lines;
        for (const KestNamePiece& piece :
             pieces_naming(doc.Syntax(), doc.Positions(), doc.Job(), cmd)) {
            lines.push_back(doc.Syntax().Position(piece.span.begin).line);
        }
        try {
            doc.RenameCommand(cmd, name);
        } catch (const KestParEditError&) {
            EXPECT_EQ(doc.Text(), before);
            return true;
        }
        const KestCmd& renamed = doc.Positions().Command(c);
        EXPECT_EQ(renamed.Item(ID_NAME, 0).GetString(), KestText::to_upper_copy(name));
        std::vector<std::size_t> now;
        for (const KestNamePiece& piece :
             pieces_naming(doc.Syntax(), doc.Positions(), doc.Job(), renamed)) {
            now.push_back(doc.Syntax().Position(piece.span.begin).line);
            EXPECT_EQ(KestText::to_upper_copy(doc.Syntax().Bytes(piece.span)),
                      KestText::to_upper_copy(name));
        }
        EXPECT_EQ(now, lines);
        return true;
    }
    static std::size_t Offset(const std::string& text, KestTextPosition p) {
        std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        for (std::size_t line = 1; line < p.line; ++line) {
            at = text.find('\n', at) + 1;
        }
        return at + p.column - 1;
    }
    static bool Check(const KestParDocument& doc, const Model& model) {
        EXPECT_EQ(job_of(doc.Text()), job_of(model.Render())) << "text:\n" << doc.Text();
        CheckBlockSyntax(doc);
        return true;
    }
    // Each block's own syntax reads its lines as the syntax of the whole edited text does.
    static void CheckBlockSyntax(const KestParDocument& doc) {
        const KestParSyntax& whole = doc.Syntax();
        const KestSourceMap& positions = doc.Positions();
        for (std::size_t c = 0; c < positions.CommandCount(); ++c) {
            const KestCmdSpan span = positions.Span(c);
            const KestParSyntax block = doc.BlockSyntax(positions.Command(c));
            ASSERT_EQ(block.FirstLine(), span.keyword.line);
            for (std::size_t line = span.keyword.line; line <= span.end_line; ++line) {
                ASSERT_EQ(block.Kind(line), whole.Kind(line)) << "line " << line;
                ASSERT_EQ(block.Value(line), whole.Value(line)) << "line " << line;
                ASSERT_EQ(block.Pieces(line), whole.Pieces(line)) << "line " << line;
            }
        }
    }

    std::mt19937 _rng;
};

} // namespace

TEST(Document, AnUneditedDocumentIsTheTextItRead) {
    for (const char* example : {"topology.par", "operators.par"}) {
        const std::wstring path = (fs::path(KEST_EXAMPLES_DIR) / example).wstring();
        const std::string text = KestFileUtil::read_all(path);
        const KestParDocument doc = KestParDocument::Open(path);
        EXPECT_EQ(doc.Text(), text);
        EXPECT_EQ(test_support::written(doc.Job()), job_of(text));
    }
}

// A short text is kept in the string itself, so that it stands elsewhere once the document is
// moved: what was worked out from it before must not be read afterwards.
TEST(Document, AMovedDocumentReadsItsOwnText) {
    const std::string text = "DV\n a = 1\nEND_\n";
    ASSERT_LT(text.size(), std::string().capacity() + 1) << "a text the string keeps itself";
    auto doc = std::make_unique<KestParDocument>(text);
    ASSERT_EQ(doc->Syntax().LineCount(), 3u);
    ASSERT_EQ(doc->Line(2), " a = 1");
    const KestParDocument moved = std::move(*doc);
    doc.reset();
    EXPECT_EQ(moved.Syntax().Bytes(moved.Syntax().Key(2)), "a");
    EXPECT_EQ(moved.Line(2), " a = 1");
    EXPECT_EQ(moved.Slice({2, 6}, {2, 7}), "1");
}

TEST(Document, RandomEditsReadAsTheJobTheyDescribe) {
    std::size_t edits = 0;
    for (unsigned seed = 1; seed <= 150 && !::testing::Test::HasFailure(); ++seed) {
        std::string text = test_support::JobText(seed, seed % 2 == 0).Make();
        // A text without a final line end now and then.
        while (seed % 4 == 0 && !text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        // The model's plain rendering reads as the text does; edits are compared through it.
        ASSERT_EQ(job_of(Model(text).Render()), job_of(text)) << text;
        KestParDocument doc(text);
        Editor editor(seed);
        for (int step = 0; step < 6 && !::testing::Test::HasFailure(); ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(step) +
                         ", text before:\n" + doc.Text());
            edits += editor.Edit(doc) ? 1 : 0;
        }
    }
    EXPECT_GT(edits, 500u);
}

// Values set one after another wait until the text is asked for; the text they give is the one
// the same edits give when the text is asked for after each, refusals included, whichever
// commands of the placed job or the read job they are addressed by. (Not emptied values: a
// value emptied and set again while it waits stands where it stood, whereas one set again
// after its line was rewritten stands after the blanks that follow '='.)
TEST(Document, ValuesThatWaitGiveTheTextOfEditsTakenOneByOne) {
    std::size_t waited = 0;
    for (unsigned seed = 1; seed <= 120 && !::testing::Test::HasFailure(); ++seed) {
        const std::string text = test_support::JobText(seed, seed % 2 == 0).Make();
        KestParDocument waiting(text);
        KestParDocument eager(text);
        std::mt19937 rng(seed);
        const auto pick = [&](std::size_t n) {
            return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
        };
        const std::vector<std::string> values = {"0.5", "1-20:2", "x y", "7,", "9", "a=b"};
        for (int step = 0; step < 12; ++step) {
            const KestSourceMap& placed = waiting.PlacedPositions();
            if (placed.CommandCount() == 0) {
                break;
            }
            const std::size_t c = pick(placed.CommandCount());
            const auto items = placed.Items(c);
            if (items.empty()) {
                continue;
            }
            const KestSourceMap::ItemPlace place = items[pick(items.size())];
            const std::string value = values[pick(values.size())];
            // Now and then a structural edit between them, which takes the waiting values first.
            const bool add = pick(8) == 0;
            const auto edit = [&](KestParDocument& doc, const KestCmd& cmd) {
                try {
                    if (add) {
                        doc.AddItem(cmd, "COLOUR", value);
                    } else {
                        doc.SetValue(cmd, place.kind, place.index, value);
                    }
                    return true;
                } catch (const KestParEditError&) {
                    return false;
                }
            };
            const bool done = edit(waiting, placed.Command(c));
            EXPECT_EQ(edit(eager, eager.Positions().Command(c)), done)
                << "seed " << seed << ", step " << step << ": " << eager.Text();
            static_cast<void>(eager.Text()); // the eager document takes each edit now
            waited += done && !add ? 1 : 0;
        }
        EXPECT_EQ(waiting.Text(), eager.Text()) << "seed " << seed;
        EXPECT_EQ(written(waiting.Job()), written(eager.Job())) << "seed " << seed;
    }
    EXPECT_GT(waited, 150u);

    // While a value waits the placed job shows the former one; the job, the new one.
    KestParDocument doc("DV\n  ID_NAME = d\n  VALUE = 0.1\nEND_\n");
    const KestCmd& dv = doc.PlacedJob().GetCommand(KestCmdDefs::DV, 0);
    doc.SetValue(dv, VALUE, 0, "");
    doc.SetValue(dv, VALUE, 0, "0.3"); // the same value again: the later one counts
    EXPECT_EQ(&doc.PlacedJob().GetCommand(KestCmdDefs::DV, 0), &dv);
    EXPECT_EQ(dv.Item(VALUE, 0).GetString(), "0.1");
    EXPECT_EQ(doc.Job().GetCommand(KestCmdDefs::DV, 0).Item(VALUE, 0).GetString(), "0.3");
    EXPECT_EQ(doc.Text(), "DV\n  ID_NAME = d\n  VALUE = 0.3\nEND_\n");

    // A value set where the text ends, after a last `KEY =` without a line end.
    KestParDocument open_end("DV\n  ID_NAME = d\n  VALUE =");
    open_end.SetValue(open_end.PlacedJob().GetCommand(KestCmdDefs::DV, 0), VALUE, 0, "0.3");
    EXPECT_EQ(open_end.Text(), "DV\n  ID_NAME = d\n  VALUE = 0.3");
}

TEST(Document, EditsChangeOnlyTheirLinesAndTakeTheLineEndsOfTheText) {
    const std::string bom = "\xEF\xBB\xBF";
    KestParDocument doc(bom + "# bracket\r\nDV\r\n  ID_NAME = d1   \r\n  GROUP = 1,\r\n    2\r\n"
                              "  Colour = blue\r\nEND_\r\n");
    const auto dv = [&]() -> const KestCmd& { return doc.Job().GetCommand(KestCmdDefs::DV, 0); };
    doc.SetValue(dv(), GROUP, 0, " 5 ");
    doc.AddItem(dv(), "TYPE", "DENSITY");
    doc.AddItem(dv(), "GROUP", "7");
    doc.RemoveItem(dv(), PLACEHOLDER, 0);
    doc.AddCommand("STOP", {{"ITER_MAX", "3"}});
    EXPECT_EQ(doc.Text(), bom + "# bracket\r\nDV\r\n  ID_NAME = d1   \r\n  GROUP = 5\r\n"
                                "  GROUP = 7\r\n  TYPE = DENSITY\r\nEND_\r\n\r\nSTOP\r\n"
                                "  ITER_MAX = 3\r\nEND_\r\n");
    doc.RenameCommand(dv(), "density");
    EXPECT_NE(doc.Text().find("  ID_NAME = density   \r\n"), std::string::npos);

    // A block that the end of the text closes gets its END_ before a new block.
    KestParDocument open("DV\n  ID_NAME = a");
    open.AddItem(open.Job().GetCommand(KestCmdDefs::DV, 0), "GROUP", "g");
    open.AddCommand("STOP", {});
    EXPECT_EQ(open.Text(), "DV\n  ID_NAME = a\n  GROUP = g\nEND_\n\nSTOP\nEND_\n");
}

TEST(Document, EditsOfWhatTheTextDoesNotHoldAreRefused) {
    KestParDocument doc("OPTIMIZE\n  ID_NAME = o\nEND_\nDV\n  ID_NAME = d\n  stray\nEND_\n");
    const std::string text = doc.Text();
    const KestCmd& made = doc.Job().GetCommand(KestCmdDefs::DV_UPDATE_PARAM, 0);
    EXPECT_THROW(doc.RemoveCommand(made), KestParEditError);
    const KestCmd& optimize = doc.Job().GetCommand(KestCmdDefs::OPTIMIZE, 0);
    ASSERT_TRUE(optimize.HasItem(KestCmdItemDefs::DV_UPDATE_PARAM));
    EXPECT_THROW(doc.SetValue(optimize, KestCmdItemDefs::DV_UPDATE_PARAM, 0, "x"),
                 KestParEditError);
    const KestCmd& dv = doc.Job().GetCommand(KestCmdDefs::DV, 0);
    EXPECT_THROW(doc.SetValue(dv, ID_NAME, 0, "two\nlines"), KestParEditError);
    EXPECT_THROW(doc.SetValue(dv, ID_NAME, 0, "takes,"), KestParEditError);
    EXPECT_THROW(doc.SetValue(dv, PLACEHOLDER, 0, "now=key"), KestParEditError);
    EXPECT_THROW(doc.AddItem(dv, "# comment", "1"), KestParEditError);
    EXPECT_THROW(doc.AddCommand("END_", {}), KestParEditError);
    EXPECT_EQ(doc.Text(), text);

    // A line that made several items holds the value of none but an LE_VALUE's VALUE.
    KestParDocument shared("CONSTRAINT\n  LE_VALUE = 0.3\nEND_\nDRESP\n  DEF_TYPE = OPER\n"
                           "  REFERENCE = DRESP, a, 0.7\nEND_\n");
    const auto& job = shared.Job();
    const KestCmd& limit = job.GetCommand(KestCmdDefs::CONSTRAINT, 0);
    const KestCmd& oper = job.GetCommand(KestCmdDefs::OPERATOR, 0);
    EXPECT_THROW(shared.SetValue(limit, TYPE, 0, "GREATER_EQUAL"), KestParEditError);
    EXPECT_THROW(shared.SetValue(oper, REFERENCE, 0, "b"), KestParEditError);
    EXPECT_THROW(shared.SetValue(oper, COEFFICIENT, 0, "0.5"), KestParEditError);
    shared.SetValue(limit, VALUE, 0, "0.4");
    EXPECT_NE(shared.Text().find("  LE_VALUE = 0.4\n"), std::string::npos);
}

TEST(Document, EditsThatWouldReadDifferentlyElsewhereAreRefused) {
    const std::string text = "CONSTRAINT\n  ID_NAME = limit\n  LE_VALUE = 0.3\nEND_\n"
                             "DRESP\n  ID_NAME = sum\n  DEF_TYPE = OPER\n"
                             "  REFERENCE = DRESP, a\n  REFERENCE = DRESP, b, 0.7\nEND_\n"
                             "GROUP_DEF\n  ID_NAME = g\n  LIST_BEGIN = 1\nEND_\n"
                             "STOP\n  ITER_MAX = 5";
    KestParDocument doc(text);
    const auto cmd = [&](KestCmdDefs::Cmd type) -> const KestCmd& {
        return doc.Job().GetCommand(type, 0);
    };
    // Items without text of their own: the implied coefficient, the TYPE of LE_VALUE.
    EXPECT_THROW(doc.RemoveItem(cmd(KestCmdDefs::OPERATOR), COEFFICIENT, 0), KestParEditError);
    EXPECT_THROW(doc.RemoveItem(cmd(KestCmdDefs::OPERATOR), REFERENCE, 1), KestParEditError);
    EXPECT_THROW(doc.RemoveItem(cmd(KestCmdDefs::CONSTRAINT), TYPE, 0), KestParEditError);
    // A reference whose removal would give its coefficient to another.
    EXPECT_THROW(doc.RemoveItem(cmd(KestCmdDefs::OPERATOR), REFERENCE, 0), KestParEditError);
    // A value the reader refuses: two interleaved runs need more runs than a list can hold.
    EXPECT_THROW(
        doc.SetValue(cmd(KestCmdDefs::GROUP_DEF), LIST_BEGIN, 0, "1-2000000000:3, 2-2000000000:3"),
        KestParEditError);
    EXPECT_EQ(doc.Text(), text);

    // The VALUE of LE_VALUE goes with its TYPE; a key's second line after a last line without
    // a line end starts a line of its own.
    doc.RemoveItem(cmd(KestCmdDefs::CONSTRAINT), VALUE, 0);
    EXPECT_FALSE(cmd(KestCmdDefs::CONSTRAINT).HasItem(TYPE));
    doc.AddItem(cmd(KestCmdDefs::STOP), "ITER_MAX", "9");
    const std::string tail = "STOP\n  ITER_MAX = 5\n  ITER_MAX = 9\n";
    EXPECT_EQ(doc.Text().substr(doc.Text().size() - tail.size()), tail);
}

TEST(Document, RenameChangesWhatNamesTheCommandAndNothingElse) {
    const std::string text = "DRESP\n  ID_NAME = volume\n  TYPE = VOLUME\nEND_\n"
                             "DRESP\n  ID_NAME = mass\nEND_\n"
                             "DRESP\n  ID_NAME = sum\n  DEF_TYPE = OPER\n"
                             "  REFERENCE = DRESP, volume\n  REFERENCE = DRESP, mass, 2\nEND_\n"
                             "OBJ_FUNC\n  DRESP = mass,\n    volume\nEND_\n";
    KestParDocument doc(text);
    const auto dresp = [&](std::size_t i) -> const KestCmd& {
        return doc.Job().GetCommand(KestCmdDefs::DRESP, i);
    };
    // Another command's name, and texts that would not read back as the name where it stands
    // (a piece that begins a line of its own).
    for (const char* name : {"mass", "MASS", "#x", "END_X", "a,b", "a=b", " ", "two\nlines"}) {
        EXPECT_THROW(doc.RenameCommand(dresp(0), name), KestParEditError) << name;
    }
    EXPECT_EQ(doc.Text(), text);
    doc.RenameCommand(dresp(0), "vol");
    EXPECT_EQ(doc.Text(), "DRESP\n  ID_NAME = vol\n  TYPE = VOLUME\nEND_\n"
                          "DRESP\n  ID_NAME = mass\nEND_\n"
                          "DRESP\n  ID_NAME = sum\n  DEF_TYPE = OPER\n"
                          "  REFERENCE = DRESP, vol\n  REFERENCE = DRESP, mass, 2\nEND_\n"
                          "OBJ_FUNC\n  DRESP = mass,\n    vol\nEND_\n");
}

class DocumentFile : public test_support::TempDirTest {};

TEST_F(DocumentFile, SavingReplacesTheFileWholeAndKeepsItsPermissions) {
    const fs::path job = Write("job.par", "STOP\n  ITER_MAX = 10\nEND_\n");
#if defined(_WIN32)
    // Windows has no permission bits (a read-only file refuses to be saved, file_util_test); the
    // file keeps its attributes.
    ASSERT_TRUE(::SetFileAttributesW(job.c_str(), FILE_ATTRIBUTE_HIDDEN));
#else
    const auto permissions = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(job, permissions);
#endif
    KestParDocument doc = KestParDocument::Open(job.wstring());
    doc.SetValue(doc.Job().GetCommand(KestCmdDefs::STOP, 0), KestCmdItemDefs::ITER_MAX, 0, "20");
    doc.Save();
    EXPECT_EQ(test_support::slurp(job), "STOP\n  ITER_MAX = 20\nEND_\n");
#if defined(_WIN32)
    EXPECT_NE(::GetFileAttributesW(job.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
#else
    EXPECT_EQ(fs::status(job).permissions(), permissions);
#endif
    EXPECT_THROW(doc.Save((dir / "missing" / "job.par").wstring()), ZUL_Failure);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}
