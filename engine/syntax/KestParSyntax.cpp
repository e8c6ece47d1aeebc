#include "engine/syntax/KestParSyntax.h"

#include "utilities/KestText.h"
#include "utilities/detail/KestParScanner.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

std::uint32_t narrow(std::size_t n) {
    if (n >= KestSyntaxLine::none) {
        throw std::length_error("4 GiB or more of text in one line or in 256 lines");
    }
    return static_cast<std::uint32_t>(n);
}

} // namespace

KestParSyntax::KestParSyntax(std::string_view text)
    : KestParSyntax(text, TextBegin(text), 1,
                    static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1) {}

KestParSyntax::KestParSyntax(std::string_view text, std::size_t begin, std::size_t first_line,
                             std::size_t last_line)
    : _text(text) {
    ReadStretch(begin, first_line, last_line);
}

void KestParSyntax::ReadStretch(std::size_t begin, std::size_t first_line, std::size_t last_line) {
    const std::string_view text = _text;
    _first_line = first_line;
    _group_begins.clear();
    _begins.clear();
    _kinds.clear();
    _blocks.clear();
    const std::size_t lines = last_line + 1 - std::min(first_line, last_line + 1);
    _begins.reserve(lines);
    _kinds.reserve(lines);
    _group_begins.reserve(lines / group + 1);
    std::size_t pos = begin;
    bool in_block = false;
    bool value_goes_on = false;
    while (pos < text.size() && _kinds.size() < lines) {
        const std::size_t feed = text.find('\n', pos);
        std::size_t end = feed == std::string_view::npos ? text.size() : feed;
        if (feed != std::string_view::npos && end > pos && text[end - 1] == '\r') {
            --end;
        }
        const std::string_view content = text.substr(pos, end - pos);
        const std::string_view trimmed = KestText::trim(content);
        const std::size_t number = _first_line + _kinds.size();
        if (_kinds.size() % group == 0) {
            _group_begins.push_back(pos);
        }
        _begins.push_back(narrow(pos - _group_begins.back()));

        KestLineKind kind = KestLineKind::item;
        if (value_goes_on && KestParScanner::MayContinue(content, trimmed)) {
            kind = KestLineKind::continuation;
            value_goes_on = KestParScanner::Continues(trimmed);
        } else if (trimmed.empty()) {
            kind = KestLineKind::blank;
            value_goes_on = false;
        } else if (KestParScanner::IsComment(trimmed)) {
            kind = KestLineKind::comment;
            value_goes_on = false;
        } else if (KestParScanner::IsBlockEnd(content, trimmed)) {
            kind = in_block ? KestLineKind::block_end : KestLineKind::stray_end;
            if (in_block) {
                _blocks.back().end_line = number;
                _blocks.back().closed = true;
            }
            in_block = false;
            value_goes_on = false;
        } else if (!in_block) {
            kind = KestLineKind::keyword;
            _blocks.push_back({number, number, false});
            in_block = true;
        } else {
            const std::size_t equals = KestParScanner::EqualsOf(content);
            if (equals == std::string_view::npos) {
                kind = KestLineKind::bare;
                value_goes_on = KestParScanner::Continues(trimmed);
            } else {
                value_goes_on =
                    KestParScanner::Continues(KestText::trim(content.substr(equals + 1)));
            }
        }
        if (in_block && kind != KestLineKind::keyword) {
            _blocks.back().end_line = number;
        }
        _kinds.push_back(kind);
        pos = feed == std::string_view::npos ? text.size() : feed + 1;
    }
    _end = pos;
}

KestSyntaxLine KestParSyntax::Line(std::size_t number) const {
    const std::size_t index = number - _first_line;
    KestSyntaxLine line;
    line.begin = Begin(index);
    line.kind = _kinds[index];
    const std::size_t next = index + 1 < _kinds.size() ? Begin(index + 1) : _end;
    std::size_t end = next;
    if (end > line.begin && _text[end - 1] == '\n') {
        --end;
        line.eol = 1;
        if (end > line.begin && _text[end - 1] == '\r') {
            --end;
            line.eol = 2;
        }
    }
    const std::string_view content = _text.substr(line.begin, end - line.begin);
    const std::string_view trimmed = KestText::trim(content);
    line.length = narrow(content.size());
    line.first = narrow(trimmed.empty() ? 0 : trimmed.data() - content.data());
    line.last = narrow(line.first + trimmed.size());
    if (line.kind == KestLineKind::item) {
        line.equals = narrow(KestParScanner::EqualsOf(content));
    }
    return line;
}

std::size_t KestParSyntax::IndexAt(std::size_t offset) const {
    const auto group_after = std::upper_bound(_group_begins.begin(), _group_begins.end(), offset);
    const std::size_t g = static_cast<std::size_t>(group_after - _group_begins.begin()) - 1;
    const std::size_t first = g * group;
    const std::size_t last = std::min(first + group, _begins.size());
    const std::uint32_t within = static_cast<std::uint32_t>(offset - _group_begins[g]);
    const auto after =
        std::upper_bound(_begins.begin() + static_cast<std::ptrdiff_t>(first),
                         _begins.begin() + static_cast<std::ptrdiff_t>(last), within);
    return static_cast<std::size_t>(after - _begins.begin()) - 1;
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
    const KestSyntaxLine l = Line(line);
    return {l.begin, l.begin + l.length};
}

KestByteSpan KestParSyntax::Trimmed(std::size_t line) const {
    const KestSyntaxLine l = Line(line);
    return {l.begin + l.first, l.begin + l.last};
}

KestByteSpan KestParSyntax::Key(std::size_t line) const {
    const KestSyntaxLine l = Line(line);
    if (l.kind != KestLineKind::item) {
        return {l.begin + l.first, l.begin + l.first};
    }
    const std::string_view key =
        KestText::trim_end(_text.substr(l.begin + l.first, l.equals - std::min(l.first, l.equals)));
    const std::size_t begin = l.begin + std::min(l.first, l.equals);
    return {begin, begin + key.size()};
}

KestByteSpan KestParSyntax::ValueOnLine(std::size_t line) const {
    const KestSyntaxLine l = Line(line);
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
    while (line < LineCount() && Kind(line + 1) == KestLineKind::continuation) {
        ++line;
    }
    return line;
}

std::string KestParSyntax::Value(std::size_t line) const {
    std::string value(Bytes(ValueOnLine(line)));
    for (std::size_t l = line + 1; l <= EntryEnd(line); ++l) {
        // The reader keeps a continued line's leading blanks.
        const KestSyntaxLine next = Line(l);
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
            // Looked for within the line's value: a search to the text's end made every look-up
            // of a value without ',' cost the rest of the text.
            const std::size_t comma = _text.substr(0, value.end).find(',', from);
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
    if (position.line < _first_line || position.line > LineCount()) {
        return position.line < _first_line && !_kinds.empty() ? Begin(0) : _end;
    }
    const KestSyntaxLine l = Line(position.line);
    const std::size_t column = position.column == 0 ? 0 : position.column - 1;
    return l.begin + std::min<std::size_t>(column, l.length);
}

KestTextPosition KestParSyntax::Position(std::size_t offset) const {
    if (_kinds.empty() || offset < Begin(0)) {
        return {_first_line, 1};
    }
    const std::size_t index = IndexAt(offset);
    const KestSyntaxLine line = Line(_first_line + index);
    if (offset >= line.next() && line.eol != 0) {
        return {LineCount() + 1, 1};
    }
    return {_first_line + index, offset - line.begin + 1};
}

bool KestParSyntax::StandsAsPiece(std::string_view text) {
    return !text.empty() && KestText::trim(text) == text &&
           text.find_first_of("\r\n,") == std::string_view::npos &&
           KestParScanner::EqualsOf(text) == std::string_view::npos &&
           !KestParScanner::IsComment(text) && !KestParScanner::IsBlockEnd(text, text);
}

std::string_view KestParSyntax::Eol() const {
    // The text's first line, read for a stretch too (a byte-order mark holds no line feed).
    const std::size_t feed = _text.find('\n');
    return feed != std::string_view::npos && feed > TextBegin(_text) && _text[feed - 1] == '\r'
               ? "\r\n"
               : "\n";
}

std::size_t KestParSyntax::TextBegin(std::string_view text) {
    return text.substr(0, byte_order_mark.size()) == byte_order_mark ? byte_order_mark.size() : 0;
}
