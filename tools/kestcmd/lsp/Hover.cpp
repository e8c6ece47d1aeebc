// textDocument/hover: the typed readings of the value under the cursor and, for a name, the
// block of the command it names.
#include "Features.h"
#include "Places.h"

#include <charconv>

namespace kestcmd::lsp {

using namespace KestCmdItemDefs;

namespace {

// The block of a named command shows at most this many lines (an OPTIMIZE may have thousands).
constexpr std::size_t shown_lines = 20;

std::string number(double value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

std::string readings(const KestCmdItem& item) {
    std::string out;
    if (item.HasInteger()) {
        out += "- integer: " + std::to_string(item.GetInteger()) + "\n";
    }
    if (item.HasReal()) {
        out += "- real: " + number(item.GetReal()) + "\n";
    }
    if (item.HasVector3d()) {
        const auto v = item.GetVector3d();
        out += "- 3-vector: (" + number(v[0]) + ", " + number(v[1]) + ", " + number(v[2]) + ")\n";
    }
    if (item.HasEnum()) {
        out +=
            "- keyword value: " + item.GetString() + " (" + std::to_string(item.GetEnum()) + ")\n";
    }
    if (item.HasList()) {
        out += "- list of pieces: " + std::to_string(item.GetList().size()) + "\n";
    }
    if (item.HasLumoList()) {
        const LumoList<int> list = item.GetLumoList();
        const LumoRunSet& runs = list.runs();
        out += "- integer list: " + std::to_string(runs.size()) + " values";
        if (!runs.empty()) {
            out += ", first " + std::to_string(runs.runs().front().first) + ", last " +
                   std::to_string(runs.runs().back().last()) + ", " +
                   std::to_string(runs.runs().size()) + " runs";
        }
        out += "\n";
    }
    return out.empty() ? "- text only\n" : out;
}

// The lines of the block of `cmd` as a fenced block.
std::string block_of(const KestParDocument& document, const KestCmd& cmd) {
    const auto span = document.Positions().Find(cmd);
    if (!span) {
        return "(made by the default rules)\n";
    }
    std::string out = "```\n";
    const std::size_t last = std::min(span->end_line, span->keyword.line + shown_lines - 1);
    for (std::size_t line = span->keyword.line; line <= last; ++line) {
        out += std::string(document.Line(line)) + "\n";
    }
    if (last < span->end_line) {
        out += "... (" + std::to_string(span->end_line - last) + " more lines)\n";
    }
    return out + "```\n";
}

} // namespace

json hover(const OpenDocument& document, const json& params) {
    const KestParDocument& job = document.Document();
    const KestSourceMap::Hit hit = job.Positions().At(place_param(document, params));
    if (!hit.on_item) {
        return nullptr;
    }
    const KestCmdItem& item = hit.command->Item(hit.kind, hit.index);
    std::string text = "`" + job.Slice(hit.span.key, key_end(job, hit.span)) + "` = `" +
                       job.Slice(hit.span.value, hit.span.value_end) + "`\n\n" + readings(item);
    const KestCmd* name =
        hit.kind == ID_NAME ? nullptr : command_named_at(job, place_param(document, params));
    if (name != nullptr) {
        const KestCmd& named = *name;
        text += "\nnames " + KestCmdDefs::get_default_cmd_names()[named.GetType()] + " `" +
                written_name(job, named) + "`:\n\n" + block_of(job, named);
    }
    return {{"contents", {{"kind", "markdown"}, {"value", text}}},
            {"range", range_of(document, hit.span.value, hit.span.value_end)}};
}

} // namespace kestcmd::lsp
