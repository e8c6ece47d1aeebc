// Arbitrary bytes as a job's text, and up to four edits of it chosen by the last 16 bytes. Nothing
// may crash; an edit either applies or throws KestParEditError; after an edit the text reads, and
// after a set the item reads back with the value set. Laying out the edited text gives the same
// job and is its own layout. Check finds what it finds within the text, each range in order.
#include <KestCmdEngine.h>

#include "support/written_job.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::size_t control_size = 16;

const std::vector<std::string> values{
    "",      "0.5",  "new_name",   "1-20:2, 30", "two words",      "a,b", "x = y", "#note", "END_",
    "tail,", "OPER", "two\nlines", "  padded  ", "DRESP, r1, 0.5", "r1",  "1e-3"};
const std::vector<std::string> keys{"ID_NAME",  "value",  "LE_VALUE",  "LIST_BEGIN",
                                    "DEF_TYPE", "Colour", "REFERENCE", "",
                                    "#k",       "END_X",  "a=b",       "GROUP"};
const std::vector<std::string> keywords{"DRESP", "stop", "OPTIMIZE", "Frob",
                                        "",      "END_", "#c",       "DV"};

const KestCmdIoConfig& config() {
    static const KestCmdIoConfig standard;
    return standard;
}

[[noreturn]] void fail(const char* what, const std::string& text, const std::string& detail) {
    std::fprintf(stderr, "%s\n--- text\n%s\n--- detail\n%s\n", what, text.c_str(), detail.c_str());
    std::abort();
}

std::vector<std::string> pieces_of(const std::string& text) {
    std::vector<std::string> pieces;
    KestText::split_pieces(KestCmdIo::to_upper_copy(text), pieces);
    return pieces;
}

// Whether `item`, of `kind` in `cmd`, is what the reader makes of a line holding `value`.
bool reads_as(const KestCmd& cmd, KestCmdItemDefs::CmdItem kind, const KestCmdItem& item,
              std::string value) {
    value = KestText::to_upper_copy(KestText::trim(value));
    const std::vector<std::string> pieces = pieces_of(value);
    if (kind == KestCmdItemDefs::LIST_BEGIN) {
        return pieces_of(item.GetString()) == pieces;
    }
    if (kind == KestCmdItemDefs::REFERENCE && cmd.GetType() == KestCmdDefs::OPERATOR &&
        pieces.size() >= 3) {
        return KestCmdIo::to_upper_copy(item.GetString()) == pieces[1];
    }
    return KestCmdIo::to_upper_copy(item.GetString()) == value;
}

// The edits the control bytes choose, applied to `doc` one after the other.
void edit(KestParDocument& doc, const std::uint8_t* control) {
    for (std::size_t e = 0; e < control_size; e += 4) {
        const std::uint8_t op = control[e] % 7;
        const std::uint8_t a = control[e + 1];
        const std::uint8_t b = control[e + 2];
        const std::uint8_t v = control[e + 3];
        // A value of the pool, or three bytes of the control as they are.
        const std::string value =
            v % 2 == 0
                ? values[v / 2 % values.size()]
                : std::string(reinterpret_cast<const char*>(control) + (v / 2) % (control_size - 2),
                              3);
        const KestSourceMap& positions = doc.Positions();
        const std::size_t count = positions.CommandCount();
        if (op == 6 || (op != 3 && count == 0)) {
            continue;
        }
        const std::size_t c = count == 0 ? 0 : a % count;
        const KestCmd* cmd = count == 0 ? nullptr : &positions.Command(c);
        const auto places =
            count == 0 ? std::vector<KestSourceMap::ItemPlace>() : positions.Items(c);
        const bool has_place = !places.empty();
        const KestSourceMap::ItemPlace place =
            has_place ? places[b % places.size()] : KestSourceMap::ItemPlace{};
        const std::string before = doc.Text();
        try {
            if (op == 0 && has_place) {
                doc.SetValue(*cmd, place.kind, place.index, value);
                // As read, before the default rules, which may put another value in its place.
                KestCmdContainer read;
                std::vector<KestCmd*> blocks;
                KestParFileAdapter(L"fuzz.par", config()).ReadText(doc.Text(), read, &blocks);
                const KestCmd& after = *blocks.at(c);
                if (after.ItemCount(place.kind) <= place.index ||
                    !reads_as(after, place.kind, after.Item(place.kind, place.index), value)) {
                    fail("an item does not read back with the value set", doc.Text(),
                         KestCmdItemDefs::default_item_names[place.kind] + " = " + value);
                }
            } else if (op == 1) {
                doc.AddItem(*cmd, keys[b % keys.size()], value);
            } else if (op == 2 && has_place) {
                doc.RemoveItem(*cmd, place.kind, place.index);
            } else if (op == 3) {
                doc.AddCommand(keywords[a % keywords.size()], {{keys[b % keys.size()], value}},
                               v % 3 == 0 ? cmd : nullptr);
            } else if (op == 4) {
                doc.RemoveCommand(*cmd);
            } else if (op == 5) {
                doc.RenameCommand(*cmd, value);
                const KestCmd& after = doc.Positions().Command(c);
                if (!reads_as(after, KestCmdItemDefs::ID_NAME,
                              after.Item(KestCmdItemDefs::ID_NAME, 0), value)) {
                    fail("a command does not read back with its new name", doc.Text(), value);
                }
            }
        } catch (const KestParEditError&) {
            if (doc.Text() != before) {
                fail("a refused edit changed the text", before, doc.Text());
            }
            continue;
        }
        doc.Job(); // the edited text reads
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto quiet = ZUL_LogMacros::set_sink([](const ZUL_LogMacros::LogRecord&) {});
    std::uint8_t control[control_size] = {};
    const std::size_t taken = size < control_size ? size : control_size;
    for (std::size_t i = 0; i < taken; ++i) {
        control[i] = data[size - taken + i];
    }
    std::unique_ptr<KestParDocument> doc;
    try {
        doc = std::make_unique<KestParDocument>(
            std::string(reinterpret_cast<const char*>(data), size - taken), L"<text>", config());
    } catch (const ZUL_Failure&) {
        return 0; // an integer list too large to hold: a defined refusal, naming the line
    }
    edit(*doc, control);
    const std::string& text = doc->Text();
    const std::string laid_out = format_par_text(text, config());
    if (test_support::job_of(laid_out) != test_support::job_of(text)) {
        fail("the laid-out text reads as another job", text, laid_out);
    }
    if (format_par_text(laid_out, config()) != laid_out) {
        fail("laying out the laid-out text changes it", laid_out,
             format_par_text(laid_out, config()));
    }
    const std::size_t past = doc->Syntax().LineCount() + 1;
    for (const KestParDiagnostic& finding : check_par_document(*doc)) {
        if (finding.end < finding.start || finding.start.line == 0 || finding.end.line > past) {
            fail("a finding stands outside the text or ends before it starts", text,
                 finding.code + ": " + finding.message);
        }
        for (const KestParRelated& related : finding.related) {
            if (related.end < related.start || related.start.line == 0 || related.end.line > past) {
                fail("a related place stands outside the text", text, related.message);
            }
        }
    }
    return 0;
}
