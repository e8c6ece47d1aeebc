// textDocument/documentSymbol: the commands as an outline, each with its items.
#include "Features.h"
#include "Places.h"

namespace kestcmd::lsp {

namespace {

// The protocol's SymbolKind numbers used here.
enum Kind { command_kind = 5, item_kind = 8 };

json symbol(std::string name, std::string detail, Kind kind, json range, json selection) {
    // The protocol asks for a name that is not empty ("= value" has an empty key).
    return {{"name", name.empty() ? "?" : std::move(name)},
            {"detail", std::move(detail)},
            {"kind", kind},
            {"range", std::move(range)},
            {"selectionRange", std::move(selection)}};
}

json items_of(const OpenDocument& document, std::size_t c) {
    const KestParDocument& job = document.Document();
    json children = json::array();
    std::size_t last_line = 0;
    for (const KestSourceMap::ItemPlace& place : job.Positions().Items(c)) {
        const KestItemSpan& span = place.span;
        if (span.key.line == last_line) {
            continue; // one line, one symbol (LE_VALUE makes two items)
        }
        last_line = span.key.line;
        const KestTextPosition key_to = key_end(job, span);
        const std::string value = job.Slice(span.value, span.value_end);
        children.push_back(symbol(job.Slice(span.key, key_to), value.substr(0, value.find('\n')),
                                  item_kind, range_of(document, span.key, span.value_end),
                                  range_of(document, span.key, key_to)));
    }
    return children;
}

} // namespace

json document_symbols(const OpenDocument& document, const json&) {
    const KestParDocument& job = document.Document();
    const KestSourceMap& positions = job.Positions();
    json symbols = json::array();
    for (std::size_t c = 0; c < positions.CommandCount(); ++c) {
        const KestCmd& cmd = positions.Command(c);
        const KestCmdSpan span = *positions.Find(cmd);
        const std::string keyword(
            KestText::trim_end(job.Line(span.keyword.line).substr(span.keyword.column - 1)));
        const std::string name = written_name(job, cmd);
        const KestTextPosition keyword_end{span.keyword.line, span.keyword.column + keyword.size()};
        const KestTextPosition block_end{span.end_line, job.Line(span.end_line).size() + 1};
        json entry = symbol(name.empty() ? keyword : name, keyword, command_kind,
                            range_of(document, span.keyword, block_end),
                            range_of(document, span.keyword, keyword_end));
        entry["children"] = items_of(document, c);
        symbols.push_back(std::move(entry));
    }
    return symbols;
}

} // namespace kestcmd::lsp
