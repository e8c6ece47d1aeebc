// textDocument/codeAction: a quick fix for each problem in the range whose message says "did you
// mean": the keyword, key or name at fault is replaced by the suggestion.
#include "Features.h"
#include "Places.h"

namespace kestcmd::lsp {

namespace {

// The text that replaces a misspelt word: a name as its command's ID_NAME writes it (the job
// holds names upper-cased), a keyword or key as suggested.
std::string replacement(const KestParDocument& document, const KestParDiagnostic& found) {
    if (found.code == "unknown-name") {
        for (const KestCmd& cmd : document.Job()) {
            if (cmd.HasItem(KestCmdItemDefs::ID_NAME) &&
                cmd.Item(KestCmdItemDefs::ID_NAME, 0).GetString() == found.suggestion) {
                return written_name(document, cmd);
            }
        }
    }
    return found.suggestion;
}

} // namespace

json code_actions(const OpenDocument& document, const json& params) {
    const std::string uri = uri_param(params);
    const auto [start, end] = range_param(params);
    const std::size_t from = document.Offset(start);
    const std::size_t to = document.Offset(end);
    json actions = json::array();
    for (const KestParDiagnostic& found : document.Diagnostics()) {
        if (found.suggestion.empty() || document.Offset(found.start) > to ||
            document.Offset(found.end) < from) {
            continue;
        }
        const std::string text = replacement(document.Document(), found);
        actions.push_back(
            {{"title", "Replace with '" + text + "'"},
             {"kind", "quickfix"},
             {"isPreferred", true},
             {"diagnostics", {diagnostic(document, found, uri)}},
             {"edit",
              {{"changes",
                {{uri, {text_edit(range_of(document, found.start, found.end), text)}}}}}}});
    }
    return actions;
}

} // namespace kestcmd::lsp
