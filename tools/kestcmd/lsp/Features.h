// The requests the server answers about one open document. Each takes the request's params and
// returns its result; a malformed params throws ProtocolError or nlohmann::json::exception.
#pragma once

#include "OpenDocument.h"
#include "Protocol.h"

namespace kestcmd::lsp {

/// The params of textDocument/publishDiagnostics for `document`.
json diagnostics(const OpenDocument& document, const std::string& uri);
/// One problem as a protocol Diagnostic.
json diagnostic(const OpenDocument& document, const KestParDiagnostic& found,
                const std::string& uri);

json completion(const OpenDocument& document, const json& params);
json hover(const OpenDocument& document, const json& params);
json definition(const OpenDocument& document, const json& params);
json references(const OpenDocument& document, const json& params);
json prepare_rename(const OpenDocument& document, const json& params);
json rename(const OpenDocument& document, const json& params);
json document_symbols(const OpenDocument& document, const json& params);
json code_actions(const OpenDocument& document, const json& params);
json formatting(const OpenDocument& document, const json& params);

} // namespace kestcmd::lsp
