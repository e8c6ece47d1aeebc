// The document layer: an unedited document is the text it read, each edit changes only its own
// bytes, and after any sequence of random edits the text reads as the job the edits describe.
#include "engine/io/KestParDocument.h"
#include "utilities/KestFileUtil.h"
#include "utilities/ZUL_Exception.h"

#include "support/random_job_text.h"
#include "support/test_support.h"
#include "support/written_job.h"

#include <gtest/gtest.h>

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
            if (!cmd.HasItem(ID_NAME) || !positions.Find(cmd, ID_NAME, 0)) {
                return false;
            }
            const auto refers = [](const KestParDocument& d, std::size_t target) {
                std::size_t n = 0;
                const KestSourceMap& p = d.Positions();
                for (std::size_t o = 0; o < p.CommandCount(); ++o) {
                    for (const auto& place : p.Items(o)) {
                        const KestCmdItem& item = p.Command(o).Item(place.kind, place.index);
                        n += item.HasReference() && item.GetReference() == &p.Command(target);
                    }
                }
                return n;
            };
            const std::size_t referring = refers(doc, c);
            doc.RenameCommand(cmd, "Renamed");
            const KestCmd& renamed = doc.Positions().Command(c);
            EXPECT_EQ(renamed.Item(ID_NAME, 0).GetString(), "RENAMED");
            // Every reference still reaches it, unless another command had the new name first.
            EXPECT_TRUE(refers(doc, c) == referring || before.find("enamed") != std::string::npos);
            return true;
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
        // Remove the line: only its bytes go.
        doc.RemoveItem(cmd, place.kind, place.index);
        auto& lines = model.blocks[c].lines;
        lines.erase(std::find_if(lines.begin(), lines.end(),
                                 [&](const KestParSubCommand& l) { return l.line == line->line; }));
        return Check(doc, model);
    }

  private:
    static std::size_t Offset(const std::string& text, KestTextPosition p) {
        std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        for (std::size_t line = 1; line < p.line; ++line) {
            at = text.find('\n', at) + 1;
        }
        return at + p.column - 1;
    }
    static bool Check(const KestParDocument& doc, const Model& model) {
        EXPECT_EQ(job_of(doc.Text()), job_of(model.Render())) << "text:\n" << doc.Text();
        return true;
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

TEST(Document, RandomEditsReadAsTheJobTheyDescribe) {
    std::size_t edits = 0;
    for (unsigned seed = 1; seed <= 150 && !::testing::Test::HasFailure(); ++seed) {
        const std::string text = test_support::JobText(seed, seed % 2 == 0).Make();
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
