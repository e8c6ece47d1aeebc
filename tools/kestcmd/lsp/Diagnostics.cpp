// textDocument/publishDiagnostics: what check_par_document finds, with the range of the text at
// fault, a severity by code and, for a name given twice, where it was given first.
#include "Features.h"

namespace kestcmd::lsp {

namespace {

enum Severity { error = 1, warning = 2, information = 3 };

// A name that names nothing breaks a link and a line without '=' swallows a block's end: errors.
// An unknown word is read as a placeholder and a second name is never linked: warnings. A
// command without a name is legal but unreachable: information.
Severity severity_of(const std::string& code) {
    if (code == "unknown-name" || code == "missing-equals" || code == "unreadable") {
        return error;
    }
    return code == "missing-name" ? information : warning;
}

} // namespace

json diagnostic(const OpenDocument& document, const KestParDiagnostic& found,
                const std::string& uri) {
    json out = {{"range", range_of(document, found.start, found.end)},
                {"severity", severity_of(found.code)},
                {"code", found.code},
                {"source", "kestcmd"},
                {"message", found.message}};
    if (found.related.line != 0) {
        const KestSourceMap::Hit first = document.Document().Positions().At(found.related);
        const KestTextPosition end = first.on_item ? first.span.value_end : found.related;
        out["relatedInformation"] = {
            {{"location", location(uri, range_of(document, found.related, end))},
             {"message", "the name is first given here"}}};
    }
    return out;
}

json diagnostics(const OpenDocument& document, const std::string& uri) {
    json list = json::array();
    for (const KestParDiagnostic& found : document.Diagnostics()) {
        list.push_back(diagnostic(document, found, uri));
    }
    return {{"uri", uri}, {"diagnostics", std::move(list)}};
}

} // namespace kestcmd::lsp
