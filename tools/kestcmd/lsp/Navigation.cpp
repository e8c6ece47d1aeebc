// Names and the commands they name: go to definition, find references, rename.
#include "Features.h"
#include "Places.h"
#include "TextEdits.h"

namespace kestcmd::lsp {

using namespace KestCmdItemDefs;

namespace {

// The bytes of the text that hold the ID_NAME of `cmd`, if it has one in the text.
std::optional<std::pair<std::size_t, std::size_t>> own_name(const OpenDocument& document,
                                                            const KestCmd& cmd) {
    const auto span = document.Document().Positions().Find(cmd, ID_NAME, 0);
    if (!span) {
        return std::nullopt;
    }
    return std::make_pair(document.Offset(span->value), document.Offset(span->value_end));
}

// The command named at the request's place, which must have its name in the text.
const KestCmd* renamable(const OpenDocument& document, const json& params) {
    const KestCmd* target = command_named_at(document.Document(), place_param(document, params));
    return target != nullptr && own_name(document, *target) ? target : nullptr;
}

} // namespace

json definition(const OpenDocument& document, const json& params) {
    const KestTextPosition place = place_param(document, params);
    const KestSourceMap::Hit hit = document.Document().Positions().At(place);
    const KestCmd* named = command_named_at(document.Document(), place);
    // From a name to the command it names, not from a command's own name to itself.
    if (named == nullptr || !hit.on_item || hit.kind == ID_NAME) {
        return nullptr;
    }
    const auto name = own_name(document, *named);
    if (!name) {
        return nullptr;
    }
    return location(uri_param(params), range_between(document, name->first, name->second));
}

json references(const OpenDocument& document, const json& params) {
    const KestCmd* target = command_named_at(document.Document(), place_param(document, params));
    if (target == nullptr) {
        return nullptr;
    }
    const std::string uri = uri_param(params);
    json found = json::array();
    const auto name = own_name(document, *target);
    if (name && params.value("context", json::object()).value("includeDeclaration", false)) {
        found.push_back(location(uri, range_between(document, name->first, name->second)));
    }
    for (const auto& [from, to] : names_of(document, *target)) {
        found.push_back(location(uri, range_between(document, from, to)));
    }
    return found;
}

json prepare_rename(const OpenDocument& document, const json& params) {
    const KestCmd* target = renamable(document, params);
    if (target == nullptr) {
        return nullptr;
    }
    // The name under the cursor: a piece that names the command, or else its own name.
    const std::size_t cursor = document.Offset(position_param(params));
    auto range = *own_name(document, *target);
    for (const auto& piece : names_of(document, *target)) {
        if (piece.first <= cursor && cursor <= piece.second) {
            range = piece;
        }
    }
    return {{"range", range_between(document, range.first, range.second)},
            {"placeholder", written_name(document.Document(), *target)}};
}

json rename(const OpenDocument& document, const json& params) {
    const KestCmd* target = renamable(document, params);
    if (target == nullptr) {
        throw ProtocolError(invalid_params, "no command name to rename here");
    }
    const std::string new_name = params.at("newName").get<std::string>();
    // The document layer renames in a copy; the client gets the lines that changed.
    KestParDocument renamed(document.Text());
    const KestSourceMap& positions = document.Document().Positions();
    try {
        renamed.RenameCommand(renamed.Positions().Command(positions.IndexOf(*target)), new_name);
    } catch (const KestParEditError& refused) {
        throw ProtocolError(invalid_params, refused.what());
    }
    return {{"changes", {{uri_param(params), edits_between(document, renamed.Text())}}}};
}

} // namespace kestcmd::lsp
