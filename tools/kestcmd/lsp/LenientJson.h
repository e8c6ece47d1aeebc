// JSON messages whose strings may hold bytes that are no UTF-8: some clients send a document's
// bytes as they are (a Latin-1 file), which strict JSON readers refuse.
#pragma once

#include <nlohmann/json.hpp>

#include <string_view>

namespace kestcmd::lsp {

/// `content` parsed as JSON; a discarded value when it is no JSON text. Bytes of its strings that
/// are no UTF-8 are kept as they are.
nlohmann::json parse_lenient(std::string_view content);

} // namespace kestcmd::lsp
