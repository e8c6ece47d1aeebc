#include "engine/syntax/KestParSyntax.h"

#include "utilities/KestText.h"
#include "utilities/detail/KestParScanner.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

std::uint32_t narrow(std::size_t n) {
    if (n >= KestSyntaxLine::none) {
        throw std::length_error("a line of 4 GiB or more");
    }
    return static_cast<std::uint32_t>(n);
}

} // namespace

KestParSyntax::KestParSyntax(std::string_view text) : _text(text) {
    std::size_t pos = text.substr(0, 3) == byte_order_mark ? 3 : 0;
    bool in_block = false;
    bool value_goes_on = false;
    while (pos < text.size()) {
        const std::size_t feed = text.find('\n', pos);
        KestSyntaxLine line;
        line.begin = pos;
        std::size_t end = feed == std::string_view::npos ? text.size() : feed;
        if (feed != std::string_view::npos) {
            line.eol = 1;
            if (end > pos && text[end - 1] == '\r') {
                --end;
                line.eol = 2;
            }
        }
        line.length = narrow(end - pos);
        const std::string_view content = text.substr(pos, end - pos);
        const std::string_view trimmed = KestText::trim(content);
        line.first = narrow(trimmed.empty() ? 0 : trimmed.data() - content.data());
        line.last = narrow(line.first + trimmed.size());
        const std::size_t number = _lines.size() + 1;

        if (value_goes_on && KestParScanner::MayContinue(content, trimmed)) {
            line.kind = KestLineKind::continuation;
            value_goes_on = KestParScanner::Continues(trimmed);
        } else if (trimmed.empty()) {
            line.kind = KestLineKind::blank;
            value_goes_on = false;
        } else if (KestParScanner::IsComment(trimmed)) {
            line.kind = KestLineKind::comment;
            value_goes_on = false;
        } else if (KestParScanner::IsBlockEnd(content, trimmed)) {
            line.kind = in_block ? KestLineKind::block_end : KestLineKind::stray_end;
            if (in_block) {
                _blocks.back().end_line = number;
                _blocks.back().closed = true;
            }
            in_block = false;
            value_goes_on = false;
        } else if (!in_block) {
            line.kind = KestLineKind::keyword;
            _blocks.push_back({number, number, false});
            in_block = true;
        } else {
            const std::size_t equals = KestParScanner::EqualsOf(content);
            line.kind = KestLineKind::item;
            if (equals == std::string_view::npos) {
                line.kind = KestLineKind::bare;
                value_goes_on = KestParScanner::Continues(trimmed);
            } else {
                line.equals = narrow(equals);
                value_goes_on =
                    KestParScanner::Continues(KestText::trim(content.substr(equals + 1)));
            }
        }
        if (in_block && line.kind != KestLineKind::keyword) {
            _blocks.back().end_line = number;
        }
        _lines.push_back(line);
        pos = line.next();
    }
}

std::size_t KestParSyntax::BlockOf(std::size_t line) const {
    const auto after = std::upper_bound(
        _blocks.begin(), _blocks.end(), line,
        [](std::size_t l, const KestSyntaxBlock& block) { return l < block.keyword_line; });
    if (after == _blocks.begin() || (after - 1)->end_line < line) {
        return _blocks.size();
    }
    return static_cast<std::size_t>(after - 1 - _blocks.begin());
}

KestByteSpan KestParSyntax::Content(std::size_t line) const {
    const KestSyntaxLine& l = Line(line);
    return {l.begin, l.begin + l.length};
}

KestByteSpan KestParSyntax::Trimmed(std::size_t line) const {
    const KestSyntaxLine& l = Line(line);
    return {l.begin + l.first, l.begin + l.last};
}

KestByteSpan KestParSyntax::Key(std::size_t line) const {
    const KestSyntaxLine& l = Line(line);
    if (l.kind != KestLineKind::item) {
        return {l.begin + l.first, l.begin + l.first};
    }
    const std::string_view key =
        KestText::trim_end(_text.substr(l.begin + l.first, l.equals - std::min(l.first, l.equals)));
    const std::size_t begin = l.begin + std::min(l.first, l.equals);
    return {begin, begin + key.size()};
}

KestByteSpan KestParSyntax::ValueOnLine(std::size_t line) const {
    const KestSyntaxLine& l = Line(line);
    if (l.kind != KestLineKind::item) {
        return Trimmed(line);
    }
    const std::size_t after = l.begin + l.equals + 1;
    const std::string_view value = KestText::trim(_text.substr(after, l.begin + l.length - after));
    if (value.empty()) {
        return {after, after};
    }
    const std::size_t begin = static_cast<std::size_t>(value.data() - _text.data());
    return {begin, begin + value.size()};
}

std::size_t KestParSyntax::EntryEnd(std::size_t line) const {
    while (line < LineCount() && Line(line + 1).kind == KestLineKind::continuation) {
        ++line;
    }
    return line;
}

std::string KestParSyntax::Value(std::size_t line) const {
    std::string value(Bytes(ValueOnLine(line)));
    for (std::size_t l = line + 1; l <= EntryEnd(line); ++l) {
        // The reader keeps a continued line's leading blanks.
        const KestSyntaxLine& next = Line(l);
        value += '\n';
        value += _text.substr(next.begin, next.last);
    }
    return value;
}

std::vector<KestByteSpan> KestParSyntax::Pieces(std::size_t line) const {
    std::vector<KestByteSpan> pieces;
    const std::size_t last = EntryEnd(line);
    if (last == line && ValueOnLine(line).size() == 0) {
        return pieces;
    }
    for (std::size_t l = line; l <= last; ++l) {
        const KestByteSpan value = ValueOnLine(l);
        std::size_t from = value.begin;
        for (;;) {
            const std::size_t comma = _text.find(',', from);
            const bool in_line = comma != std::string_view::npos && comma < value.end;
            const std::size_t to = in_line ? comma : value.end;
            // The empty rest after a line's last ',' is the start of the next line's first piece.
            if (!in_line && l < last) {
                break;
            }
            const std::string_view piece = KestText::trim(_text.substr(from, to - from));
            const std::size_t begin =
                piece.empty() ? from : static_cast<std::size_t>(piece.data() - _text.data());
            pieces.push_back({begin, begin + piece.size()});
            if (!in_line) {
                break;
            }
            from = comma + 1;
        }
    }
    return pieces;
}

std::size_t KestParSyntax::Offset(KestTextPosition position) const {
    if (position.line == 0 || position.line > LineCount()) {
        return position.line == 0 && !_lines.empty() ? _lines.front().begin : _text.size();
    }
    const KestSyntaxLine& l = Line(position.line);
    const std::size_t column = position.column == 0 ? 0 : position.column - 1;
    return l.begin + std::min<std::size_t>(column, l.length);
}

KestTextPosition KestParSyntax::Position(std::size_t offset) const {
    const auto after =
        std::upper_bound(_lines.begin(), _lines.end(), offset,
                         [](std::size_t o, const KestSyntaxLine& line) { return o < line.begin; });
    if (after == _lines.begin()) {
        return {1, 1};
    }
    const KestSyntaxLine& line = *(after - 1);
    if (offset >= line.next() && line.eol != 0) {
        return {_lines.size() + 1, 1};
    }
    return {static_cast<std::size_t>(after - _lines.begin()), offset - line.begin + 1};
}

bool KestParSyntax::StandsAsPiece(std::string_view text) {
    return !text.empty() && KestText::trim(text) == text &&
           text.find_first_of("\r\n,") == std::string_view::npos &&
           KestParScanner::EqualsOf(text) == std::string_view::npos &&
           !KestParScanner::IsComment(text) && !KestParScanner::IsBlockEnd(text, text);
}

std::string_view KestParSyntax::Eol() const {
    return !_lines.empty() && _lines.front().eol == 2 ? "\r\n" : "\n";
}
