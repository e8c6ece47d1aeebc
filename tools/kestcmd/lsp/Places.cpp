#include "Places.h"

namespace kestcmd::lsp {

using namespace KestCmdItemDefs;

KestTextPosition place_param(const OpenDocument& document, const json& params) {
    return document.ToReader(position_param(params));
}

KestTextPosition key_end(const KestParDocument& document, const KestItemSpan& span) {
    const std::string_view line = document.Line(span.key.line);
    const std::size_t key = span.key.column - 1;
    const std::size_t equals = line.find('=', key);
    if (equals == std::string_view::npos || key > line.size()) {
        return span.value_end;
    }
    return {span.key.line,
            span.key.column + KestText::trim_end(line.substr(key, equals - key)).size()};
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
    const KestCmdItem& item = hit.command->Item(hit.kind, hit.index);
    if (item.HasReference()) {
        return item.GetReference();
    }
    return hit.kind == ID_NAME ? hit.command : nullptr;
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
    const KestSourceMap& positions = document.Document().Positions();
    const std::string name = KestText::to_upper_copy(written_name(document.Document(), target));
    const std::string_view text = document.Text();
    std::vector<std::pair<std::size_t, std::size_t>> found;
    for (std::size_t c = 0; c < positions.CommandCount(); ++c) {
        const KestCmd& cmd = positions.Command(c);
        std::size_t last_line = 0;
        for (const KestSourceMap::ItemPlace& place : positions.Items(c)) {
            const KestCmdItem& item = cmd.Item(place.kind, place.index);
            // A line that made several items (an OPERATOR's REFERENCE) names once.
            if (!item.HasReference() || item.GetReference() != &target ||
                place.span.key.line == last_line) {
                continue;
            }
            last_line = place.span.key.line;
            const std::size_t begin = document.Offset(place.span.value);
            const std::size_t end = document.Offset(place.span.value_end);
            std::pair<std::size_t, std::size_t> piece{begin, end};
            for (std::size_t from = begin; from <= end;) {
                const std::size_t comma = std::min(text.find(',', from), end);
                const std::string_view trimmed = KestText::trim(text.substr(from, comma - from));
                if (!trimmed.empty() && KestText::to_upper_copy(trimmed) == name) {
                    const auto at = static_cast<std::size_t>(trimmed.data() - text.data());
                    piece = {at, at + trimmed.size()};
                    break;
                }
                from = comma + 1;
            }
            found.push_back(piece);
        }
    }
    return found;
}

} // namespace kestcmd::lsp
