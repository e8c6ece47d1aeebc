// JSON messages whose strings may hold bytes that are no UTF-8: some clients send a document's
// bytes as they are (a Latin-1 file), which strict JSON readers refuse.
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string_view>

namespace kestcmd::lsp {

/// `content` parsed as JSON; a discarded value when it is no JSON text. Bytes of its strings that
/// are no UTF-8 are kept as they are.
nlohmann::json parse_lenient(std::string_view content);

/// Whether `value` holds arrays or objects more than `levels` deep (a lone array is one level).
/// Copying, printing and comparing JSON values recurses once per level, so the server refuses a
/// message nested deeper than it can ever need before it does any of that.
bool nested_deeper_than(const nlohmann::json& value, std::size_t levels);

} // namespace kestcmd::lsp
