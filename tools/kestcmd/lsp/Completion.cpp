// textDocument/completion: block keywords where a block starts, keys and END_ inside a block,
// and after a key's '=' the names of the commands that the key may name or the keyword values.
#include "Features.h"
#include "Places.h"

#include <algorithm>
#include <set>

namespace kestcmd::lsp {

using namespace KestCmdItemDefs;

namespace {

// The protocol's CompletionItemKind numbers used here.
enum Kind { field = 5, block = 7, keyword = 14, enum_member = 20, reference = 18 };

json entry(const std::string& label, Kind kind, const std::string& detail = std::string()) {
    json item = {{"label", label}, {"kind", kind}};
    if (!detail.empty()) {
        item["detail"] = detail;
    }
    return item;
}

json block_keywords() {
    json items = json::array();
    const auto& names = KestCmdDefs::get_default_cmd_names();
    for (int type = 0; type < KestCmdDefs::CMD_PLACEHOLDER; ++type) {
        items.push_back(entry(names[type], block));
    }
    return items;
}

json keys() {
    json items = json::array();
    for (int kind = 0; kind < PLACEHOLDER; ++kind) {
        items.push_back(entry(default_item_names[kind], field));
    }
    for (const char* key : KestParKeys::fixed_keys) {
        items.push_back(entry(key, field));
    }
    items.push_back(entry("END_", keyword, "ends the block"));
    return items;
}

json keyword_values() {
    static const std::set<std::string> sorted = [] {
        std::set<std::string> texts;
        for (const auto& [text, value] : create_enum_map()) {
            texts.insert(text);
        }
        return texts;
    }();
    json items = json::array();
    for (const std::string& text : sorted) {
        items.push_back(entry(text, enum_member));
    }
    return items;
}

// The values a key may take: the names of the commands it may name, or the keyword values.
json values_of(const KestParDocument& document, const std::string& key) {
    const auto kind = std::find(default_item_names.begin(), default_item_names.end(), key);
    const KestCmdDefs::Cmd type =
        kind == default_item_names.end()
            ? KestCmdDefs::CMD_PLACEHOLDER
            : KestCmdDefs::named_type(static_cast<CmdItem>(kind - default_item_names.begin()));
    if (type == KestCmdDefs::CMD_PLACEHOLDER) {
        return keyword_values();
    }
    json items = json::array();
    const KestCmdContainer& job = document.Job();
    const std::string& keyword = KestCmdDefs::get_default_cmd_names()[type];
    std::set<std::string> seen; // a name given twice names only its first command
    for (std::size_t i = 0; i < job.GetNumberOfCommands(type); ++i) {
        const std::string name = written_name(document, job.GetCommand(type, i));
        if (!name.empty() && seen.insert(KestText::to_upper_copy(name)).second) {
            items.push_back(entry(name, reference, keyword));
        }
    }
    return items;
}

} // namespace

json completion(const OpenDocument& document, const json& params) {
    const KestTextPosition place = place_param(document, params);
    const KestParDocument& job = document.Document();
    const KestSourceMap::Hit hit = job.Positions().At(place);
    if (hit.command == nullptr || place.line == job.Positions().Find(*hit.command)->keyword.line) {
        return block_keywords();
    }
    // After the '=' of an item line come values, elsewhere keys.
    const KestParSyntax& syntax = job.Syntax();
    if (place.line > syntax.LineCount() || syntax.Line(place.line).kind != KestLineKind::item ||
        place.column <= syntax.Line(place.line).equals + 1) {
        return keys();
    }
    return values_of(job, KestText::to_upper_copy(syntax.Bytes(syntax.Key(place.line))));
}

} // namespace kestcmd::lsp
