// The protocol's shapes that every feature uses: errors, places, ranges and locations as JSON,
// and the parameters that name a document and a place in it.
#pragma once

#include "OpenDocument.h"

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>

namespace kestcmd::lsp {

using json = nlohmann::json;

/// JSON-RPC and protocol error codes.
enum ErrorCode : int {
    parse_error = -32700,
    invalid_request = -32600,
    method_not_found = -32601,
    invalid_params = -32602,
    internal_error = -32603,
    server_not_initialized = -32002,
};

/// A request answered with an error response.
class ProtocolError : public std::runtime_error {
  public:
    ProtocolError(ErrorCode code, const std::string& message)
        : std::runtime_error(message), code(code) {}
    ErrorCode code;
};

json to_json(Position place);
/// The protocol's range of the reader's range [from, to).
json range_of(const OpenDocument& document, KestTextPosition from, KestTextPosition to);
/// The protocol's range of the bytes [from, to) of the document's text.
json range_between(const OpenDocument& document, std::size_t from, std::size_t to);
json location(const std::string& uri, json range);
/// A TextEdit that puts `text` in the place of `range`.
json text_edit(json range, const std::string& text);

/// The local path of a file: URI (percent escapes decoded), or empty for another URI.
std::string file_path(const std::string& uri);

/// params.textDocument.uri; throws ProtocolError(invalid_params) when missing.
std::string uri_param(const json& params);
/// params.position; throws ProtocolError(invalid_params) when missing or not two unsigned
/// integers.
Position position_param(const json& params);
/// params.range.start and params.range.end, likewise.
std::pair<Position, Position> range_param(const json& params);

} // namespace kestcmd::lsp
