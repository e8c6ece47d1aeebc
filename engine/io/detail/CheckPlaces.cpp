#include "engine/io/detail/CheckPlaces.h"

#include "utilities/KestText.h"

namespace KestCheckDetail {

using KestCmdItemDefs::ID_NAME;

CheckPlaces::CheckPlaces(const KestParDocument& document) : _document(document) {
    const std::string& text = document.Text();
    // A byte-order mark is not part of line 1.
    _starts.push_back(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0);
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        _starts.push_back(at + 1);
    }
    _starts.push_back(text.size() + 1);
}

std::string_view CheckPlaces::Line(std::size_t line) const {
    if (line == 0 || line >= _starts.size()) {
        return {};
    }
    const std::string& text = _document.Text();
    std::string_view out(text.data() + _starts[line - 1],
                         std::min(_starts[line], text.size()) - _starts[line - 1]);
    // The line feed ends the line, and a carriage return before it; a lone one stays.
    if (!out.empty() && out.back() == '\n') {
        out.remove_suffix(1);
        if (!out.empty() && out.back() == '\r') {
            out.remove_suffix(1);
        }
    }
    return out;
}

CheckPlaces::Block CheckPlaces::BlockOf(std::size_t command) const {
    const KestSourceMap& positions = _document.Positions();
    const KestCmdSpan span = *positions.Find(positions.Command(command));
    Block block;
    block.keyword = span.keyword;
    block.written = KestText::trim_end(Line(span.keyword.line).substr(span.keyword.column - 1));
    block.keyword_end = {span.keyword.line, span.keyword.column + block.written.size()};
    const std::string_view last = KestText::trim(Line(span.end_line));
    block.closed = span.end_line > span.keyword.line && last.size() >= 4 &&
                   KestText::to_upper_copy(last.substr(0, 4)) == "END_";
    return block;
}

CheckPlaces::ItemLine CheckPlaces::LineOf(const KestItemSpan& span) const {
    ItemLine line;
    line.key = span.key;
    line.value = span.value;
    line.value_end = span.value_end;
    const std::string_view text = Line(span.key.line);
    const std::size_t key = span.key.column - 1;
    const std::size_t equals = key <= text.size() ? text.find('=', key) : std::string_view::npos;
    line.has_equals = equals != std::string_view::npos;
    if (line.has_equals) {
        line.written_key = KestText::trim_end(text.substr(key, equals - key));
    }
    line.key_end = {span.key.line, span.key.column + line.written_key.size()};
    return line;
}

std::string CheckPlaces::Value(const KestItemSpan& span) const {
    // A continued value's lines without their trailing blanks, joined by line feeds, as the
    // reader joins them.
    std::string out;
    for (std::size_t l = span.value.line; l <= span.value_end.line; ++l) {
        const std::string_view line = Line(l);
        const std::size_t begin = l == span.value.line ? std::min(span.value.column - 1, line.size()) : 0;
        const std::size_t end = l == span.value_end.line ? std::min(span.value_end.column - 1, line.size()) : line.size();
        const std::string_view part = line.substr(begin, end > begin ? end - begin : 0);
        if (l == span.value_end.line) {
            out += part;
        } else {
            out += KestText::trim_end(part);
            out += '\n';
        }
    }
    return out;
}

std::pair<KestTextPosition, KestTextPosition> CheckPlaces::Piece(const KestItemSpan& span,
                                                                 std::string_view upper) const {
    if (span.value.line == span.value_end.line &&
        Line(span.value.line)
                .substr(span.value.column - 1, span.value_end.column - span.value.column)
                .find(',') == std::string_view::npos) {
        return {span.value, span.value_end}; // a value of one piece
    }
    for (std::size_t l = span.value.line; l <= span.value_end.line; ++l) {
        const std::string_view line = Line(l);
        const std::size_t begin = l == span.value.line ? span.value.column - 1 : 0;
        const std::size_t end = l == span.value_end.line ? span.value_end.column - 1 : line.size();
        for (std::size_t from = begin; from <= end && from <= line.size();) {
            const std::size_t comma = std::min(line.find(',', from), end);
            const std::string_view piece = KestText::trim(line.substr(from, comma - from));
            if (!piece.empty() && KestText::to_upper_copy(piece) == upper) {
                const auto column = static_cast<std::size_t>(piece.data() - line.data()) + 1;
                return {{l, column}, {l, column + piece.size()}};
            }
            from = comma + 1;
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
    const std::string& text = _document.Text();
    std::size_t lines = 1;
    std::size_t last_start = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        ++lines;
        last_start = at + 1;
    }
    const std::size_t first_end = text.find('\n');
    const bool crlf = first_end != std::string::npos && first_end > 0 && text[first_end - 1] == '\r';
    const std::string eol = crlf ? "\r\n" : "\n";
    if (last_start == text.size()) {
        return {{lines, 1}, std::string(line) + eol};
    }
    return {{lines, Line(lines).size() + 1}, eol + std::string(line) + eol};
}

} // namespace KestCheckDetail
