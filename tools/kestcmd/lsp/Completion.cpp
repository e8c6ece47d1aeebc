// textDocument/completion: block keywords where a block starts; inside a block the keys its
// schema lists (not those given already, unless they may repeat) and END_; after a key's '=' the
// names of the commands of the key's target types, or the keyword values of its set.
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

// The keys given in the block of `cmd`, upper case.
std::set<std::string> keys_given(const KestParDocument& document, const KestCmd& cmd) {
    const KestSourceMap& positions = document.Positions();
    std::set<std::string> given;
    for (const KestSourceMap::ItemPlace& place : positions.Items(positions.IndexOf(cmd))) {
        given.insert(
            KestText::to_upper_copy(document.Slice(place.span.key, key_end(document, place.span))));
    }
    return given;
}

// The keys of a block's schema first; an open block (or one the schema does not describe) takes
// every other key the reader knows too.
json keys(const OpenDocument& open, const KestCmd& cmd) {
    const KestJobSchema& schema = open.Settings().schema;
    const KestCmdDefs::Cmd type = cmd.GetType();
    const std::set<std::string> given = keys_given(open.Document(), cmd);
    json items = json::array();
    std::set<std::string> offered;
    const auto offer = [&](const std::string& key) {
        const std::optional<KestSchemaKey> rule = schema.Key(type, key);
        const bool repeats = rule && rule->repeats && rule->repeats->on;
        if ((given.count(key) == 0 || repeats) && offered.insert(key).second) {
            items.push_back(entry(key, field, rule ? rule->description : std::string()));
        }
    };
    offer(default_item_names[ID_NAME]);
    const KestSchemaBlock* own = schema.Block(type);
    if (own != nullptr) {
        for (const auto& [key, rule] : own->keys) {
            offer(key);
        }
    }
    if (own == nullptr || !own->closed.on) {
        for (int kind = 0; kind < PLACEHOLDER; ++kind) {
            offer(default_item_names[kind]);
        }
        for (const char* key : KestParKeys::fixed_keys) {
            offer(key);
        }
    }
    items.push_back(entry(std::string(KestParSyntax::block_end), keyword, "ends the block"));
    return items;
}

json keyword_values(const std::vector<std::string>& set) {
    std::set<std::string> sorted(set.begin(), set.end());
    if (set.empty()) {
        for (const auto& [text, value] : create_enum_map()) {
            sorted.insert(text);
        }
    }
    json items = json::array();
    for (const std::string& text : sorted) {
        items.push_back(entry(text, enum_member));
    }
    return items;
}

// The values the schema's entry for `key` in a block of `type` takes: the names of the commands
// of its target types, or its keyword values.
json values_of(const OpenDocument& open, KestCmdDefs::Cmd type, const std::string& key) {
    const std::optional<KestSchemaKey> rule = open.Settings().schema.Key(type, key);
    if (!rule || !rule->reading) {
        return json::array();
    }
    if (rule->Takes(KestSchemaReading::name)) {
        json items = json::array();
        const KestParDocument& document = open.Document();
        std::set<std::string> seen; // a name given twice names only its first command
        for (KestCmdDefs::Cmd target : rule->reading->targets) {
            const KestCmdContainer& job = document.Job();
            const std::string& keyword = KestCmdDefs::get_default_cmd_names()[target];
            for (std::size_t i = 0; i < job.GetNumberOfCommands(target); ++i) {
                const std::string name = written_name(document, job.GetCommand(target, i));
                if (!name.empty() && seen.insert(KestText::to_upper_copy(name)).second) {
                    items.push_back(entry(name, reference, keyword));
                }
            }
        }
        return items;
    }
    if (rule->Takes(KestSchemaReading::keyword)) {
        return keyword_values(rule->values ? rule->values->list : std::vector<std::string>());
    }
    return json::array();
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
    if (place.line > syntax.LineCount() || syntax.Kind(place.line) != KestLineKind::item ||
        place.column <= syntax.Line(place.line).equals + 1) {
        return keys(document, *hit.command);
    }
    return values_of(document, hit.command->GetType(),
                     KestText::to_upper_copy(syntax.Bytes(syntax.Key(place.line))));
}

} // namespace kestcmd::lsp
