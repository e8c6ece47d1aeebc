// textDocument/codeAction: the fix of each finding in the range, as a quick fix.
#include "Features.h"
#include "Places.h"

namespace kestcmd::lsp {

json code_actions(const OpenDocument& document, const json& params) {
    const std::string uri = uri_param(params);
    const auto [start, end] = range_param(params);
    const std::size_t from = document.Offset(start);
    const std::size_t to = document.Offset(end);
    json actions = json::array();
    for (const KestParDiagnostic& found : document.Diagnostics()) {
        if (!found.fix || document.Offset(found.start) > to || document.Offset(found.end) < from) {
            continue;
        }
        const KestParFix& fix = *found.fix;
        actions.push_back(
            {{"title", fix.title},
             {"kind", "quickfix"},
             {"isPreferred", true},
             {"diagnostics", {diagnostic(document, found, uri)}},
             {"edit",
              {{"changes",
                {{uri, {text_edit(range_of(document, fix.start, fix.end), fix.text)}}}}}}});
    }
    return actions;
}

} // namespace kestcmd::lsp
