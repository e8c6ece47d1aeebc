#include "utilities/detail/KestParScanner.h"

#include "utilities/KestText.h"

using KestText::trim;
using KestText::trim_end;

namespace {

// The 1-based column where `part`, a view into `line`, starts.
std::size_t column_of(std::string_view line, std::string_view part) {
    return static_cast<std::size_t>(part.data() - line.data()) + 1;
}

} // namespace

bool KestParScanner::IsComment(std::string_view trimmed) {
    return !trimmed.empty() && trimmed.front() == '#';
}

// A line without '=' whose trimmed text starts with END_ in any case.
bool KestParScanner::IsBlockEnd(std::string_view line, std::string_view trimmed) {
    if (trimmed.size() < 4) {
        return false;
    }
    const char* end = "END_";
    for (std::size_t i = 0; i < 4; ++i) {
        if (KestText::to_upper(trimmed[i]) != end[i]) {
            return false;
        }
    }
    return line.find('=') == std::string_view::npos;
}

bool KestParScanner::MayContinue(std::string_view line, std::string_view trimmed) {
    return !trimmed.empty() && !IsComment(trimmed) && !IsBlockEnd(line, trimmed) &&
           EqualsOf(line) == std::string_view::npos;
}

namespace {

// The physical line of `text` that starts at `pos` (split at LF, a CR before the LF dropped);
// `next` receives where the following line starts.
std::string_view line_at(std::string_view text, std::size_t pos, std::size_t& next) {
    const std::size_t end = text.find('\n', pos);
    std::string_view line = text.substr(pos, end == std::string_view::npos ? end : end - pos);
    next = end == std::string_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r' && end != std::string_view::npos) {
        line.remove_suffix(1);
    }
    return line;
}

std::string_view without_mark(std::string_view text) {
    return text.substr(0, 3) == "\xEF\xBB\xBF" ? text.substr(3) : text;
}

// Where the first block boundary at or after `from` lies: after the first END_ line that starts
// there or later, or the text's size when there is none.
std::size_t boundary_after(std::string_view text, std::size_t from) {
    std::size_t pos = from;
    if (pos > 0 && text[pos - 1] != '\n') {
        const std::size_t feed = text.find('\n', pos);
        pos = feed == std::string_view::npos ? text.size() : feed + 1;
    }
    while (pos < text.size()) {
        std::size_t next = 0;
        const std::string_view line = line_at(text, pos, next);
        if (KestParScanner::IsBlockEnd(line, trim(line))) {
            return next;
        }
        pos = next;
    }
    return text.size();
}

} // namespace

KestParScanner::KestParScanner(std::string_view text, bool with_pieces)
    : _text(without_mark(text)), _with_pieces(with_pieces) {}

KestParScanner::KestParScanner(std::string_view text, const Part& part, bool with_pieces)
    : _text(without_mark(text).substr(0, part.end)), _pos(part.begin), _number(part.lines_before),
      _with_pieces(with_pieces) {}

std::vector<KestParScanner::Part> KestParScanner::Split(std::string_view text, std::size_t count) {
    text = without_mark(text);
    std::vector<Part> parts;
    std::size_t begin = 0;
    for (std::size_t i = 1; i < count && begin < text.size(); ++i) {
        const std::size_t wanted = text.size() / count * i;
        const std::size_t end = boundary_after(text, wanted > begin ? wanted : begin);
        if (end == text.size()) {
            break;
        }
        parts.push_back({begin, end, 0});
        begin = end;
    }
    parts.push_back({begin, text.size(), 0});
    return parts;
}

std::size_t KestParScanner::LastBoundary(std::string_view text, std::size_t from) {
    text = without_mark(text);
    // Line by line from the end: the line that ends with the line feed at `feed`.
    for (std::size_t feed = text.rfind('\n'); feed != std::string_view::npos && feed >= from;) {
        const std::size_t before = feed == 0 ? std::string_view::npos : text.rfind('\n', feed - 1);
        const std::size_t start = before == std::string_view::npos ? 0 : before + 1;
        if (start < from) {
            break;
        }
        std::size_t next = 0;
        const std::string_view line = line_at(text, start, next);
        if (IsBlockEnd(line, trim(line))) {
            return next;
        }
        if (start == 0) {
            break;
        }
        feed = before;
    }
    return from;
}

std::size_t KestParScanner::LineCount(std::string_view text, const Part& part) {
    const std::string_view bytes = without_mark(text).substr(part.begin, part.end - part.begin);
    // Blocks of a fixed size, which the compiler turns into vector compares.
    constexpr std::size_t block = 64;
    std::size_t count = 0;
    std::size_t at = 0;
    for (; at + block <= bytes.size(); at += block) {
        unsigned in_block = 0;
        for (std::size_t i = 0; i < block; ++i) {
            in_block += bytes[at + i] == '\n' ? 1u : 0u;
        }
        count += in_block;
    }
    for (; at < bytes.size(); ++at) {
        count += bytes[at] == '\n' ? 1u : 0u;
    }
    return count;
}

bool KestParScanner::NextLine(std::string_view& line) {
    if (_pos >= _text.size()) {
        return false;
    }
    line = line_at(_text, _pos, _pos);
    ++_number;
    return true;
}

std::string_view KestParScanner::PeekLine() const {
    std::size_t unused = 0;
    return _pos < _text.size() ? line_at(_text, _pos, unused) : std::string_view();
}

bool KestParScanner::NextKeyword(KestParCommand& block) {
    if (_in_block) {
        // The rest of a block the caller did not read.
        KestParSubCommand skipped;
        while (NextItem(skipped)) {
        }
    }
    std::string_view line;
    std::string_view trimmed;
    do {
        if (!NextLine(line)) {
            return false;
        }
        trimmed = trim(line);
    } while (trimmed.empty() || IsComment(trimmed) || IsBlockEnd(line, trimmed));
    block.keyword.assign(trimmed);
    block.line = _number;
    block.column = column_of(line, trimmed);
    block.end_line = 0;
    std::vector<KestParSubCommand>& lines = block.subCommands;
    while (!lines.empty()) {
        _spare.push_back(std::move(lines.back()));
        lines.pop_back();
    }
    _in_block = true;
    return true;
}

bool KestParScanner::NextItem(KestParSubCommand& sub) {
    std::string_view line;
    while (_in_block && NextLine(line)) {
        const std::string_view trimmed = trim(line);
        if (trimmed.empty()) {
            continue;
        }
        if (IsBlockEnd(line, trimmed)) {
            break;
        }
        ReadItem(line, trimmed, sub);
        return true;
    }
    if (_in_block) {
        _end_line = _number;
    }
    _in_block = false;
    return false;
}

void KestParScanner::ReadLines(KestParCommand& block) {
    std::vector<KestParSubCommand>& lines = block.subCommands;
    for (;;) {
        if (_spare.empty()) {
            lines.emplace_back();
        } else {
            lines.push_back(std::move(_spare.back()));
            _spare.pop_back();
        }
        if (!NextItem(lines.back())) {
            _spare.push_back(std::move(lines.back()));
            lines.pop_back();
            block.end_line = _end_line;
            return;
        }
    }
}

bool KestParScanner::Next(KestParCommand& block) {
    if (!NextKeyword(block)) {
        return false;
    }
    ReadLines(block);
    return true;
}

void KestParScanner::ReadItem(std::string_view line, std::string_view trimmed,
                              KestParSubCommand& sub) {
    sub.line = _number;
    sub.end_line = _number;
    sub.key_column = column_of(line, trimmed);
    sub.value_column = sub.key_column;
    sub.end_column = sub.key_column + trimmed.size();
    if (IsComment(trimmed)) {
        sub.kind = 0;
        sub.key.clear();
        sub.value.assign(trimmed);
        sub.pieces.clear();
        return;
    }
    sub.kind = 1;
    const std::size_t equals = EqualsOf(line);
    if (equals == std::string_view::npos) {
        sub.key.clear();
        sub.value.assign(trimmed);
    } else {
        sub.key.assign(trim(line.substr(0, equals)));
        const std::string_view value = trim(line.substr(equals + 1));
        sub.value.assign(value);
        // An empty value stands right after the '='.
        sub.value_column = value.empty() ? equals + 2 : column_of(line, value);
        sub.end_column = sub.value_column + value.size();
    }
    // A value ending in ',' goes on over the following lines that are plain text.
    while (Continues(sub.value) && _pos < _text.size()) {
        const std::string_view following = PeekLine();
        const std::string_view following_trimmed = trim(following);
        if (!MayContinue(following, following_trimmed)) {
            break;
        }
        std::string_view taken;
        NextLine(taken);
        const std::string_view kept = trim_end(taken);
        sub.value += '\n';
        sub.value += kept;
        sub.end_line = _number;
        sub.end_column = kept.size() + 1;
    }
    if (_with_pieces) {
        KestText::split_pieces(sub.value, sub.pieces);
    } else {
        sub.pieces.clear();
    }
}
