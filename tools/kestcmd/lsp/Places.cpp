#include "Places.h"

namespace kestcmd::lsp {

using namespace KestCmdItemDefs;

KestTextPosition place_param(const OpenDocument& document, const json& params) {
    return document.ToReader(position_param(params));
}

KestTextPosition key_end(const KestParDocument& document, const KestItemSpan& span) {
    const KestParSyntax& syntax = document.Syntax();
    if (syntax.Kind(span.key.line) != KestLineKind::item) {
        return span.value_end;
    }
    return syntax.Position(syntax.Key(span.key.line).end);
}

const KestCmd* command_named_at(const KestParDocument& document, KestTextPosition place) {
    const KestSourceMap::Hit hit = document.Positions().At(place);
    if (hit.command == nullptr) {
        return nullptr;
    }
    if (!hit.on_item) {
        return place.line == document.Positions().Find(*hit.command)->keyword.line ? hit.command
                                                                                   : nullptr;
    }
    if (hit.kind == ID_NAME) {
        return hit.command;
    }
    const auto name = name_at(document.Syntax(), document.Positions(), document.Job(), *hit.command,
                              document.Syntax().Offset(place));
    return name ? name->named : nullptr;
}

std::string written_name(const KestParDocument& document, const KestCmd& cmd) {
    if (!cmd.HasItem(ID_NAME)) {
        return std::string();
    }
    const auto span = document.Positions().Find(cmd, ID_NAME, 0);
    return span ? document.Slice(span->value, span->value_end) : cmd.Item(ID_NAME, 0).GetString();
}

std::vector<std::pair<std::size_t, std::size_t>> names_of(const OpenDocument& document,
                                                          const KestCmd& target) {
    const KestParDocument& job = document.Document();
    std::vector<std::pair<std::size_t, std::size_t>> found;
    for (const KestNamePiece& piece :
         pieces_naming(job.Syntax(), job.Positions(), job.Job(), target)) {
        found.emplace_back(piece.span.begin, piece.span.end);
    }
    return found;
}

} // namespace kestcmd::lsp
