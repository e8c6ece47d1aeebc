#include "engine/io/KestParDocument.h"

#include "engine/io/KestParKeys.h"

#include "utilities/KestFileUtil.h"
#include "utilities/KestText.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

using namespace KestCmdItemDefs;

namespace {

using KestText::trim;

bool starts_with_end(std::string_view trimmed) {
    return trimmed.size() >= 4 && KestText::to_upper_copy(trimmed.substr(0, 4)) == "END_";
}

// Refuses a text that would not read back as one line's key or value where it is put.
void check_text(std::string_view text, std::string_view what, bool may_hold_equals) {
    const auto refuse = [&](const std::string& why) {
        throw KestParEditError(std::string(what) + " '" + std::string(text) + "' " + why);
    };
    if (text.find_first_of("\r\n") != std::string_view::npos) {
        refuse("holds a line break");
    }
    if (!may_hold_equals && text.find('=') != std::string_view::npos) {
        refuse("holds '='");
    }
    if (!text.empty() && text.back() == ',') {
        refuse("ends with ',', which would take the next line into it");
    }
}

// A number that no reading of a text has had before.
std::uint64_t next_reading() {
    static std::atomic<std::uint64_t> readings{0};
    return ++readings;
}

void check_line_start(std::string_view text, std::string_view what) {
    const std::string_view trimmed = trim(text);
    if (trimmed.empty()) {
        throw KestParEditError(std::string(what) + " is empty");
    }
    if (trimmed.front() == '#' || starts_with_end(trimmed)) {
        throw KestParEditError(std::string(what) + " '" + std::string(text) +
                               "' would read as a comment or a block end");
    }
}

} // namespace

KestParDocument::KestParDocument(std::string text, std::wstring file_name,
                                 const KestCmdIoConfig& config)
    : _text(std::move(text)), _file_name(std::move(file_name)), _reader(_file_name, config),
      _item_names(config.item_names) {
    Refresh();
}

KestParDocument KestParDocument::Open(const std::wstring& path, const KestCmdIoConfig& config) {
    return KestParDocument(KestFileUtil::read_all(path), path, config);
}

const KestCmdContainer& KestParDocument::Job() const {
    Refresh();
    return _job;
}

const KestSourceMap& KestParDocument::Positions() const {
    Refresh();
    return _positions;
}

void KestParDocument::Refresh() const {
    if (!_stale) {
        return;
    }
    KestCmdContainer job;
    KestSourceMap positions;
    _reader.ParseText(_text, job, &positions);
    _job = std::move(job);
    _positions = std::move(positions);
    _reading = next_reading();
    _line_starts.assign(1, _text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0);
    _line_count = 1;
    for (std::size_t at = _text.find('\n'); at != std::string::npos;
         at = _text.find('\n', at + 1)) {
        if (_line_count++ % line_step == 0) {
            _line_starts.push_back(at + 1);
        }
    }
    _stale = false;
}

std::string_view KestParDocument::Line(std::size_t line) const {
    Refresh();
    if (line == 0 || line > _line_count) {
        return {};
    }
    // The end found from the start, not as the start of the next line, so that the line found
    // last stays this one for the next look-up of it.
    const std::size_t start = LineStart(line);
    const std::size_t feed = _text.find('\n', start);
    std::string_view text(_text.data() + start,
                          (feed == std::string::npos ? _text.size() : feed + 1) - start);
    // The line feed ends the line, and a carriage return before it; a lone one stays.
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
        if (!text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
        }
    }
    return text;
}

std::string KestParDocument::Slice(KestTextPosition from, KestTextPosition to) const {
    std::string out;
    for (std::size_t l = from.line; l <= to.line; ++l) {
        const std::string_view line = Line(l);
        const std::size_t begin = l == from.line ? std::min(from.column - 1, line.size()) : 0;
        const std::size_t end = l == to.line ? std::min(to.column - 1, line.size()) : line.size();
        const std::string_view part = line.substr(begin, end > begin ? end - begin : 0);
        if (l == to.line) {
            out += part;
        } else {
            out += KestText::trim_end(part);
            out += '\n';
        }
    }
    return out;
}

std::size_t KestParDocument::LineStart(std::size_t line) const {
    if (line - 1 >= _line_count) {
        return _text.size();
    }
    // Lines are mostly asked for in the order of the text: the line found last on this thread,
    // if it lies in the same step before `line`, is where the search starts. `_reading` tells
    // apart documents, and readings of one document, at the same address.
    struct Found {
        std::uint64_t reading = 0;
        std::size_t line = 0;
        std::size_t at = 0;
    };
    thread_local Found last;
    const std::size_t step_start = (line - 1) / line_step * line_step + 1;
    std::size_t from = step_start;
    std::size_t at = _line_starts[(line - 1) / line_step];
    if (last.reading == _reading && last.line <= line && last.line >= step_start) {
        from = last.line;
        at = last.at;
    }
    for (; from < line; ++from) {
        at = _text.find('\n', at) + 1;
    }
    last = {_reading, line, at};
    return at;
}

std::size_t KestParDocument::LineEnd(std::size_t line) const {
    return LineStart(line + 1);
}

std::size_t KestParDocument::Offset(KestTextPosition position) const {
    return std::min(LineStart(position.line) + position.column - 1, _text.size());
}

std::string KestParDocument::Eol() const {
    const std::size_t first = _text.find('\n');
    return first != std::string::npos && first > 0 && _text[first - 1] == '\r' ? "\r\n" : "\n";
}

std::size_t KestParDocument::IndexOf(const KestCmd& cmd) const {
    Refresh();
    const std::size_t i = _positions.IndexOf(cmd);
    if (i == _positions.CommandCount()) {
        throw KestParEditError("the command has no block in the text (the default rules made it)");
    }
    return i;
}

KestItemSpan KestParDocument::SpanOf(const KestCmd& cmd, CmdItem kind, std::size_t index) const {
    IndexOf(cmd);
    const auto span = _positions.Find(cmd, kind, index);
    if (!span) {
        throw KestParEditError("item " + default_item_names[kind] + "[" + std::to_string(index) +
                               "] has no line in the text (the default rules made it)");
    }
    return *span;
}

std::string KestParDocument::IndentOf(std::size_t cmd_index) const {
    const auto items = _positions.Items(cmd_index);
    if (items.empty()) {
        return "  ";
    }
    const KestTextPosition key = items.front().span.key;
    return _text.substr(LineStart(key.line), key.column - 1);
}

void KestParDocument::Apply(std::vector<Replacement> changes) {
    std::sort(changes.begin(), changes.end(),
              [](const Replacement& a, const Replacement& b) { return a.begin > b.begin; });
    for (const Replacement& change : changes) {
        _text.replace(change.begin, change.end - change.begin, change.text);
    }
    _reading = next_reading();
    _stale = true;
}

void KestParDocument::SetValue(const KestCmd& cmd, CmdItem kind, std::size_t index,
                               std::string_view value) {
    const KestItemSpan span = SpanOf(cmd, kind, index);
    value = trim(value);
    const std::size_t begin = Offset(span.value);
    const std::string_view line(_text.data() + LineStart(span.key.line),
                                Offset(span.value) - LineStart(span.key.line));
    const bool has_equals = line.find('=') != std::string_view::npos;
    // A line that made several items (LE_VALUE = v gives VALUE and TYPE, an OPERATOR's
    // REFERENCE = DRESP, r, 0.7 gives REFERENCE and COEFFICIENT) holds the whole value of none of
    // them but the VALUE of LE_VALUE or GE_VALUE.
    const std::string key = KestCmdIo::to_upper_copy(std::string(
        trim(line.substr(span.key.column - 1, line.find('=') - (span.key.column - 1)))));
    const bool whole =
        kind == VALUE && (key == KestParKeys::le_value || key == KestParKeys::ge_value);
    for (const auto& place : _positions.Items(_positions.IndexOf(cmd))) {
        if (!whole && place.span.key == span.key && (place.kind != kind || place.index != index)) {
            throw KestParEditError("the line of " + default_item_names[kind] + "[" +
                                   std::to_string(index) + "] also makes " +
                                   default_item_names[place.kind] + "[" +
                                   std::to_string(place.index) + "]: its value is not " +
                                   default_item_names[kind] + "'s alone");
        }
    }
    check_text(value, "value", has_equals);
    if (!has_equals) {
        check_line_start(value, "a line without '='");
    }
    // "KEY =" gets "KEY = value", not "KEY =value".
    const bool spaced = begin > 0 && _text[begin - 1] == '=' && !value.empty();
    Apply({{begin, Offset(span.value_end), (spaced ? " " : "") + std::string(value)}});
}

void KestParDocument::AddItem(const KestCmd& cmd, std::string_view key, std::string_view value) {
    const std::size_t i = IndexOf(cmd);
    key = trim(key);
    value = trim(value);
    check_line_start(key, "key");
    check_text(key, "key", false);
    check_text(value, "value", true);
    // The kind the key's line gives, so that the line joins its kind.
    const std::string upper = KestText::to_upper_copy(key);
    CmdItem kind = PLACEHOLDER;
    if (upper == KestParKeys::le_value || upper == KestParKeys::ge_value) {
        kind = VALUE;
    } else {
        for (const auto& [k, name] : _item_names) {
            if (name == upper) {
                kind = k;
                break;
            }
        }
    }
    const auto items = _positions.Items(i);
    const KestCmdSpan block = *_positions.Find(cmd);
    const std::string eol = Eol();
    const std::string line = IndentOf(i) + std::string(key) + " = " + std::string(value) + eol;
    std::size_t last = 0;
    for (const auto& place : items) {
        if (place.kind == kind) {
            last = std::max(last, place.span.value_end.line);
        }
    }
    if (last != 0) {
        Apply({{LineEnd(last), LineEnd(last), line}});
        return;
    }
    if (ClosedByEnd(block)) {
        const std::size_t end_start = LineStart(block.end_line);
        Apply({{end_start, end_start, line}});
        return;
    }
    // A block that the end of the text closes.
    const bool ends_line = !_text.empty() && _text.back() == '\n';
    Apply({{_text.size(), _text.size(), (ends_line ? "" : eol) + line}});
}

void KestParDocument::RemoveItem(const KestCmd& cmd, CmdItem kind, std::size_t index) {
    const KestItemSpan span = SpanOf(cmd, kind, index);
    // Were the line before to end with ',' and the line after to be plain text, the removal
    // would make the one continue over the other: a blank line, which ends a value, stays.
    const auto line = [&](std::size_t n) {
        const std::size_t start = LineStart(n);
        return trim(std::string_view(_text).substr(start, LineEnd(n) - start));
    };
    const std::string_view before = span.key.line > 1 ? line(span.key.line - 1) : "";
    const std::string_view after = line(span.value_end.line + 1);
    const bool would_join = !before.empty() && before.back() == ',' && !after.empty() &&
                            after.front() != '#' && !starts_with_end(after) &&
                            after.find('=') == std::string_view::npos;
    const std::size_t end = LineEnd(span.value_end.line);
    std::size_t keep = end;
    if (would_join) {
        keep = _text.rfind('\n', end - 1) == end - 1 ? end - 1 : end;
        keep -= keep > 0 && _text[keep - 1] == '\r' ? 1 : 0;
    }
    Apply({{LineStart(span.key.line), keep, ""}});
}

void KestParDocument::AddCommand(std::string_view keyword,
                                 const std::vector<std::pair<std::string, std::string>>& items,
                                 const KestCmd* after) {
    keyword = trim(keyword);
    check_line_start(keyword, "keyword");
    check_text(keyword, "keyword", false);
    const std::string eol = Eol();
    std::string block = std::string(keyword) + eol;
    for (const auto& [key, value] : items) {
        const std::string_view k = trim(key);
        const std::string_view v = trim(value);
        check_line_start(k, "key");
        check_text(k, "key", false);
        check_text(v, "value", true);
        block += "  " + std::string(k) + " = " + std::string(v) + eol;
    }
    block += "END_" + eol;

    Refresh();
    // The block goes after the block of `after`, or at the end of the text. The last block may
    // be closed by the end of the text: it gets its END_ first, or it would take the new lines.
    const std::size_t count = _positions.CommandCount();
    const KestCmd* previous = after;
    if (previous != nullptr) {
        IndexOf(*previous);
    } else if (count > 0) {
        previous = &_positions.Command(count - 1);
    }
    std::size_t at = _text.size();
    std::string prefix;
    if (previous != nullptr) {
        const KestCmdSpan span = *_positions.Find(*previous);
        if (after != nullptr) {
            at = LineEnd(span.end_line);
        }
        if (!ClosedByEnd(span)) {
            prefix = "END_" + eol;
        }
    }
    if (at > 0 && _text[at - 1] != '\n') {
        prefix = eol + prefix;
    }
    if (at > 0) {
        prefix += eol; // a blank line between blocks
    }
    Apply({{at, at, prefix + block}});
}

bool KestParDocument::ClosedByEnd(const KestCmdSpan& span) const {
    const std::size_t start = LineStart(span.end_line);
    const std::string_view line =
        trim(std::string_view(_text).substr(start, LineEnd(span.end_line) - start));
    return span.end_line != span.keyword.line && starts_with_end(line) &&
           line.find('=') == std::string_view::npos;
}

void KestParDocument::RemoveCommand(const KestCmd& cmd) {
    IndexOf(cmd);
    const KestCmdSpan span = *_positions.Find(cmd);
    Apply({{LineStart(span.keyword.line), LineEnd(span.end_line), ""}});
}

void KestParDocument::RenameCommand(const KestCmd& cmd, std::string_view name) {
    name = trim(name);
    check_text(name, "name", false);
    if (name.empty() || name.find(',') != std::string_view::npos) {
        throw KestParEditError("name '" + std::string(name) + "' is empty or holds ','");
    }
    const KestItemSpan own = SpanOf(cmd, ID_NAME, 0);
    const std::string old = KestText::to_upper_copy(cmd.Item(ID_NAME, 0).GetString());
    std::vector<Replacement> changes{{Offset(own.value), Offset(own.value_end), std::string(name)}};
    // In every value that refers to the command, the comma-separated piece that names it.
    for (std::size_t c = 0; c < _positions.CommandCount(); ++c) {
        const KestCmd& other = _positions.Command(c);
        for (const auto& place : _positions.Items(c)) {
            const KestCmdItem& item = other.Item(place.kind, place.index);
            if (!item.HasReference() || item.GetReference() != &cmd) {
                continue;
            }
            std::size_t begin = Offset(place.span.value);
            const std::size_t end = Offset(place.span.value_end);
            while (begin <= end) {
                std::size_t comma = _text.find(',', begin);
                comma = comma == std::string::npos || comma > end ? end : comma;
                const std::string_view piece =
                    trim(std::string_view(_text).substr(begin, comma - begin));
                if (!piece.empty() && KestText::to_upper_copy(piece) == old) {
                    const std::size_t from = static_cast<std::size_t>(piece.data() - _text.data());
                    const bool known =
                        std::any_of(changes.begin(), changes.end(),
                                    [&](const Replacement& r) { return r.begin == from; });
                    // A piece written in capitals may belong to a key whose values are kept as
                    // given (LE_VALUE): it gets the name in capitals, as the name reads, so that
                    // it still links.
                    const bool capitals = KestText::to_upper_copy(piece) == piece;
                    if (!known) {
                        changes.push_back(
                            {from, from + piece.size(),
                             capitals ? KestText::to_upper_copy(name) : std::string(name)});
                    }
                    break;
                }
                begin = comma + 1;
            }
        }
    }
    Apply(std::move(changes));
}

void KestParDocument::Save(const std::wstring& path) const {
    KestFileUtil::write_all_safely(path.empty() ? _file_name : path, _text);
}
