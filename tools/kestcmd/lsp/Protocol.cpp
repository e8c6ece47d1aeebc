#include "Protocol.h"

namespace kestcmd::lsp {

namespace {

const json& member(const json& object, const char* name) {
    if (!object.is_object() || !object.contains(name)) {
        throw ProtocolError(invalid_params, std::string("missing '") + name + "'");
    }
    return object[name];
}

std::size_t unsigned_member(const json& object, const char* name) {
    const json& value = member(object, name);
    if (!value.is_number_unsigned()) {
        throw ProtocolError(invalid_params, std::string("'") + name + "' is no unsigned integer");
    }
    return value.get<std::size_t>();
}

Position to_position(const json& value) {
    return {unsigned_member(value, "line"), unsigned_member(value, "character")};
}

} // namespace

json to_json(Position place) {
    return {{"line", place.line}, {"character", place.character}};
}

json range_of(const OpenDocument& document, KestTextPosition from, KestTextPosition to) {
    return {{"start", to_json(document.ToProtocol(from))},
            {"end", to_json(document.ToProtocol(to))}};
}

json range_between(const OpenDocument& document, std::size_t from, std::size_t to) {
    return {{"start", to_json(document.At(from))}, {"end", to_json(document.At(to))}};
}

json location(const std::string& uri, json range) {
    return {{"uri", uri}, {"range", std::move(range)}};
}

json text_edit(json range, const std::string& text) {
    return {{"range", std::move(range)}, {"newText", text}};
}

std::string uri_param(const json& params) {
    const json& uri = member(member(params, "textDocument"), "uri");
    if (!uri.is_string()) {
        throw ProtocolError(invalid_params, "'uri' is no string");
    }
    return uri.get<std::string>();
}

Position position_param(const json& params) {
    return to_position(member(params, "position"));
}

std::pair<Position, Position> range_param(const json& params) {
    const json& range = member(params, "range");
    return {to_position(member(range, "start")), to_position(member(range, "end"))};
}

} // namespace kestcmd::lsp
