// textDocument/publishDiagnostics: the findings of check as the protocol's diagnostics, with
// their severity, related places and code as the library gives them.
#include "Features.h"

namespace kestcmd::lsp {

namespace {

// The protocol's DiagnosticSeverity numbers.
int protocol_severity(KestSeverity severity) {
    switch (severity) {
    case KestSeverity::error:
        return 1;
    case KestSeverity::warning:
        return 2;
    case KestSeverity::information:
        break;
    }
    return 3;
}

} // namespace

json diagnostic(const OpenDocument& document, const KestParDiagnostic& found,
                const std::string& uri) {
    json out = {{"range", range_of(document, found.start, found.end)},
                {"severity", protocol_severity(found.severity)},
                {"code", found.code},
                {"source", "kestcmd"},
                {"message", found.message}};
    if (!found.related.empty()) {
        json related = json::array();
        for (const KestParRelated& place : found.related) {
            related.push_back(
                {{"location", location(uri, range_of(document, place.start, place.end))},
                 {"message", place.message}});
        }
        out["relatedInformation"] = std::move(related);
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
