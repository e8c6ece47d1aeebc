// textDocument/hover: the typed readings of the value under the cursor, what the schema says of
// its key with the default the meta data give it, and, for a name, the block of the command it
// names.
#include "Features.h"
#include "Places.h"

#include <algorithm>
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

// What the schema says of `key` in a block of `type`, and the default the meta data give it.
std::string schema_entry(const OpenDocument& open, KestCmdDefs::Cmd type, const std::string& key) {
    const std::optional<KestSchemaKey> rule = open.Settings().schema.Key(type, key);
    std::string out;
    if (rule) {
        out += "\n**" + key + "** in " + KestCmdDefs::get_default_cmd_names()[type];
        if (!rule->description.empty()) {
            out += ": " + rule->description;
        }
        out += "\n\n";
        if (rule->reading) {
            std::string readings;
            for (KestSchemaReading reading : rule->reading->any_of) {
                readings += (readings.empty() ? "" : " or ") + std::string(schema_name(reading));
            }
            out += "- reads as " + readings;
            for (std::size_t i = 0; i < rule->reading->targets.size(); ++i) {
                out += (i == 0 ? " of " : ", ") +
                       KestCmdDefs::get_default_cmd_names()[rule->reading->targets[i]];
            }
            out += " (" + std::string(schema_name(rule->reading->source)) + ")\n";
            if (!rule->reading->why.empty()) {
                out += "- because " + rule->reading->why + "\n";
            }
        }
        if (rule->values) {
            std::string values;
            for (const std::string& value : rule->values->list) {
                values += (values.empty() ? "" : ", ") + value;
            }
            out += "- values: " + values + " (" + schema_name(rule->values->source) + ")\n";
        }
        if (rule->required && rule->required->on) {
            out += "- required\n";
        }
        if (rule->repeats && rule->repeats->on) {
            out += "- may repeat\n";
        }
    }
    const auto kind = std::find(default_item_names.begin(), default_item_names.end(), key);
    static const KestCmdInfoPool pool;
    const KestCmdMetaData* meta = pool.GetMetaData()[type];
    if (kind != default_item_names.end() && meta != nullptr) {
        const KestCmdItemMetaData* item = meta->GetMetaData()[kind - default_item_names.begin()];
        if (item != nullptr && !item->default_value.empty()) {
            out += "- default when not given: `" + item->default_value + "`\n";
        }
    }
    return out;
}

} // namespace

json hover(const OpenDocument& document, const json& params) {
    const KestParDocument& job = document.Document();
    const KestSourceMap::Hit hit = job.Positions().At(place_param(document, params));
    if (!hit.on_item) {
        return nullptr;
    }
    const KestCmdItem& item = hit.command->Item(hit.kind, hit.index);
    const std::string key = job.Slice(hit.span.key, key_end(job, hit.span));
    std::string text = "`" + key + "` = `" + job.Slice(hit.span.value, hit.span.value_end) +
                       "`\n\n" + readings(item) +
                       schema_entry(document, hit.command->GetType(), KestText::to_upper_copy(key));
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
