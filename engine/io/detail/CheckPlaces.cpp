#include "engine/io/detail/CheckPlaces.h"

#include "utilities/KestText.h"

namespace KestCheckDetail {

using KestCmdItemDefs::ID_NAME;

std::string_view CheckPlaces::Line(std::size_t line) const {
    if (line == 0 || line > _syntax.LineCount()) {
        return {};
    }
    return _syntax.Bytes(_syntax.Content(line));
}

CheckPlaces::Block CheckPlaces::BlockOf(std::size_t command) const {
    const KestSourceMap& positions = _document.Positions();
    const KestCmdSpan span = *positions.Find(positions.Command(command));
    Block block;
    block.keyword = span.keyword;
    block.written = _syntax.Bytes(_syntax.Trimmed(span.keyword.line));
    block.keyword_end = {span.keyword.line, span.keyword.column + block.written.size()};
    // The syntax has a block per command, in the same order of the text.
    const std::vector<KestSyntaxBlock>& blocks = _syntax.Blocks();
    const std::size_t at =
        command < blocks.size() && blocks[command].keyword_line == span.keyword.line
            ? command
            : _syntax.BlockOf(span.keyword.line);
    block.closed = at < blocks.size() && blocks[at].closed;
    return block;
}

CheckPlaces::ItemLine CheckPlaces::LineOf(const KestItemSpan& span) const {
    ItemLine line;
    line.key = span.key;
    line.has_equals = _syntax.Line(span.key.line).kind == KestLineKind::item;
    if (line.has_equals) {
        line.written_key = _syntax.Bytes(_syntax.Key(span.key.line));
    }
    line.key_end = {span.key.line, span.key.column + line.written_key.size()};
    return line;
}

std::string CheckPlaces::Value(const KestItemSpan& span) const {
    return _syntax.Value(span.key.line);
}

std::pair<KestTextPosition, KestTextPosition>
CheckPlaces::Piece(const KestItemSpan& span, const std::vector<KestByteSpan>& pieces,
                   std::string_view upper) const {
    if (pieces.size() > 1) {
        for (const KestByteSpan& piece : pieces) {
            if (KestText::to_upper_copy(_syntax.Bytes(piece)) == upper) {
                return {_syntax.Position(piece.begin), _syntax.Position(piece.end)};
            }
        }
    }
    return {span.value, span.value_end};
}

std::string CheckPlaces::WrittenName(const KestCmd& cmd) const {
    if (!cmd.HasItem(ID_NAME)) {
        return std::string();
    }
    const auto span = _document.Positions().Find(cmd, ID_NAME, 0);
    return span ? Value(*span) : cmd.Item(ID_NAME, 0).GetString();
}

std::optional<std::pair<KestTextPosition, KestTextPosition>>
CheckPlaces::NameRange(const KestCmd& cmd) const {
    const auto span = cmd.HasItem(ID_NAME) ? _document.Positions().Find(cmd, ID_NAME, 0)
                                           : std::optional<KestItemSpan>();
    if (span) {
        return std::make_pair(span->value, span->value_end);
    }
    const auto block = _document.Positions().Find(cmd);
    if (block) {
        return std::make_pair(block->keyword, block->keyword);
    }
    return std::nullopt;
}

std::pair<KestTextPosition, std::string> CheckPlaces::AppendLine(std::string_view line) const {
    const std::string eol(_syntax.Eol());
    const std::size_t last = _syntax.LineCount();
    if (last == 0 || _syntax.Line(last).eol != 0) {
        return {{last + 1, 1}, std::string(line) + eol};
    }
    return {{last, _syntax.Line(last).length + 1}, eol + std::string(line) + eol};
}

} // namespace KestCheckDetail
