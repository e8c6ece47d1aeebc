#include "engine/io/detail/CheckPlaces.h"

#include "utilities/KestText.h"

namespace KestCheckDetail {

using KestCmdItemDefs::ID_NAME;

namespace {

// The first name of `cmd` as the job holds it; empty for a command without a name.
std::string held_name(const KestCmd& cmd) {
    return cmd.HasItem(ID_NAME) ? cmd.Item(ID_NAME, 0).GetString() : std::string();
}

} // namespace

CheckPlaces::CheckPlaces(const KestParDocument& document)
    : _positions(document.Positions()), _lines(document.Text()), _block(_lines.Stretch(1, 0)) {}

CheckPlaces::Block CheckPlaces::ReadBlock(std::size_t command) {
    const KestCmdSpan span = _positions.Span(command);
    _lines.ReadStretch(_block, span.keyword.line, span.end_line);
    Block block;
    block.keyword = span.keyword;
    block.written = _block.Bytes(_block.Trimmed(span.keyword.line));
    block.keyword_end = {span.keyword.line, span.keyword.column + block.written.size()};
    const std::vector<KestSyntaxBlock>& blocks = _block.Blocks();
    block.closed = !blocks.empty() && blocks.front().closed;
    return block;
}

CheckPlaces::ItemLine CheckPlaces::LineOf(const KestItemSpan& span) const {
    ItemLine line;
    line.key = span.key;
    line.has_equals = _block.Kind(span.key.line) == KestLineKind::item;
    if (line.has_equals) {
        line.written_key = _block.Bytes(_block.Key(span.key.line));
    }
    line.key_end = {span.key.line, span.key.column + line.written_key.size()};
    return line;
}

std::pair<KestTextPosition, KestTextPosition>
CheckPlaces::Piece(const KestItemSpan& span, const std::vector<KestByteSpan>& pieces,
                   std::string_view upper) const {
    if (pieces.size() > 1) {
        for (const KestByteSpan& piece : pieces) {
            if (KestText::to_upper_copy(_block.Bytes(piece)) == upper) {
                return {_block.Position(piece.begin), _block.Position(piece.end)};
            }
        }
    }
    return {span.value, span.value_end};
}

std::pair<KestTextPosition, std::string> CheckPlaces::AppendLine(std::string_view line) const {
    const std::string eol(_block.Eol());
    const std::size_t last = _block.LineCount();
    if (last == 0 || _block.Line(last).eol != 0) {
        return {{last + 1, 1}, std::string(line) + eol};
    }
    return {{last, _block.Line(last).length + 1}, eol + std::string(line) + eol};
}

std::string_view CheckPlaces::Bytes(KestTextPosition from, KestTextPosition to) const {
    if (to.column <= from.column) {
        return {};
    }
    // Positions on one line: its start is all that is needed.
    const std::string_view text = _lines.Text();
    const std::size_t begin = std::min(_lines.Begin(from.line) + from.column - 1, text.size());
    return text.substr(begin, to.column - from.column);
}

std::optional<KestItemSpan> CheckPlaces::NameSpan(std::size_t command) const {
    std::optional<KestItemSpan> name;
    _positions.ForEachItem(command, [&name](const KestSourceMap::ItemPlace& place) {
        if (place.kind == ID_NAME && place.index == 0) {
            name = place.span;
        }
    });
    return name;
}

std::string CheckPlaces::WrittenName(std::size_t command) const {
    const std::optional<KestItemSpan> name = NameSpan(command);
    if (!name) {
        return held_name(_positions.Command(command));
    }
    if (name->value.line == name->value_end.line) {
        return std::string(Bytes(name->value, name->value_end));
    }
    // A name continued over lines, read from its block's keyword line on.
    return _lines.Stretch(_positions.Span(command).keyword.line, name->value_end.line)
        .Value(name->key.line);
}

std::string CheckPlaces::WrittenName(const KestCmd& cmd) const {
    const std::size_t command = _positions.IndexOf(cmd);
    if (command < _positions.CommandCount()) {
        return WrittenName(command);
    }
    return held_name(cmd);
}

std::pair<KestTextPosition, KestTextPosition> CheckPlaces::NameRange(std::size_t command) const {
    if (const std::optional<KestItemSpan> name = NameSpan(command)) {
        return {name->value, name->value_end};
    }
    const KestTextPosition keyword = _positions.Span(command).keyword;
    const KestParSyntax line = _lines.Stretch(keyword.line, keyword.line);
    return {keyword, {keyword.line, keyword.column + line.Trimmed(keyword.line).size()}};
}

std::optional<std::pair<KestTextPosition, KestTextPosition>>
CheckPlaces::NameRange(const KestCmd& cmd) const {
    const std::size_t command = _positions.IndexOf(cmd);
    if (command < _positions.CommandCount()) {
        return NameRange(command);
    }
    return std::nullopt;
}

} // namespace KestCheckDetail
