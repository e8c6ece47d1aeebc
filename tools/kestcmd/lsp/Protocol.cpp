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

std::string file_path(const std::string& uri) {
    const std::string scheme = "file://";
    if (uri.compare(0, scheme.size(), scheme) != 0) {
        return std::string();
    }
    // file:///home/x or file://host/share; on Windows file:///C:/x names C:/x.
    std::string path;
    const std::string rest = uri.substr(scheme.size());
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const auto hex = [](char c) {
            return c >= '0' && c <= '9'                     ? c - '0'
                   : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10
                                                            : -1;
        };
        if (rest[i] == '%' && i + 2 < rest.size() && hex(rest[i + 1]) >= 0 &&
            hex(rest[i + 2]) >= 0) {
            path += static_cast<char>(hex(rest[i + 1]) * 16 + hex(rest[i + 2]));
            i += 2;
        } else {
            path += rest[i];
        }
    }
#if defined(_WIN32)
    if (path.size() > 2 && path[0] == '/' && path[2] == ':') {
        path.erase(0, 1);
    }
#endif
    return path;
}

} // namespace kestcmd::lsp
