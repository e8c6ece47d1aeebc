#include "engine/io/KestParDocument.h"

#include "engine/io/KestParKeys.h"
#include "engine/syntax/KestParItemSource.h"

#include "utilities/KestFileUtil.h"
#include "utilities/KestText.h"
#include "utilities/ZUL_LogMacros.h"
#include "utilities/detail/KestParScanner.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

using namespace KestCmdItemDefs;

namespace {

using KestText::trim;

std::string item_name(CmdItem kind, std::size_t index) {
    return default_item_names[kind] + "[" + std::to_string(index) + "]";
}

// Refuses a key, value or name that holds a line break: the reader would take the rest for a
// line of its own.
void check_one_line(std::string_view text, std::string_view what) {
    if (text.find_first_of("\r\n") != std::string_view::npos) {
        throw KestParEditError(std::string(what) + " '" + std::string(text) +
                               "' holds a line break");
    }
}

// The first difference of the items of `before` and `after` (same type, every kind the same
// texts in the same order) but for the items `skip` names, or an empty text.
std::string difference(const KestCmd& before, const KestCmd& after,
                       const std::set<std::pair<CmdItem, std::size_t>>& skip = {}) {
    if (before.GetType() != after.GetType()) {
        return "the block would be read as another command type";
    }
    for (int k = 0; k < item_kind_count; ++k) {
        const auto kind = static_cast<CmdItem>(k);
        if (before.ItemCount(kind) != after.ItemCount(kind)) {
            return "the block would hold " + std::to_string(after.ItemCount(kind)) + " " +
                   default_item_names[kind] + " items instead of " +
                   std::to_string(before.ItemCount(kind));
        }
        for (std::size_t i = 0; i < before.ItemCount(kind); ++i) {
            if (skip.count({kind, i}) == 0 &&
                before.Item(kind, i).GetString() != after.Item(kind, i).GetString()) {
                return item_name(kind, i) + " would read '" + after.Item(kind, i).GetString() +
                       "' instead of '" + before.Item(kind, i).GetString() + "'";
            }
        }
    }
    return std::string();
}

// Reads `text` (a stretch of whole blocks) without completing it, logging nothing.
std::vector<KestCmd*> read_blocks(const KestParFileAdapter& reader, std::string_view text,
                                  KestCmdContainer& into) {
    ZUL_LogMacros::HeldMessages quiet;
    std::vector<KestCmd*> created;
    reader.ReadText(text, into, &created);
    return created;
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

const std::string& KestParDocument::Text() const {
    Settle();
    return _text;
}

const KestCmdContainer& KestParDocument::Job() const {
    Settle();
    return PlacedJob();
}

const KestSourceMap& KestParDocument::Positions() const {
    Settle();
    return PlacedPositions();
}

const KestParSyntax& KestParDocument::Syntax() const {
    Settle();
    Refresh();
    return Lines();
}

KestParSyntax KestParDocument::BlockSyntax(const KestCmd& cmd) const {
    const KestSourceMap& positions = Positions();
    const KestParLineStarts& lines = LineStarts();
    const std::size_t c = positions.IndexOf(cmd);
    if (c == positions.CommandCount()) {
        return lines.Stretch(1, 0);
    }
    const KestCmdSpan span = positions.Span(c);
    return lines.Stretch(span.keyword.line, span.end_line);
}

const KestCmdContainer& KestParDocument::PlacedJob() const {
    Refresh();
    return _job;
}

const KestSourceMap& KestParDocument::PlacedPositions() const {
    Refresh();
    return _positions;
}

const KestParSyntax& KestParDocument::Lines() const {
    if (!_syntax || !Reads(_syntax->Text())) {
        _syntax = std::make_unique<KestParSyntax>(_text);
    }
    return *_syntax;
}

const KestParLineStarts& KestParDocument::LineStarts() const {
    Settle();
    if (!_line_starts || !Reads(_line_starts->Text())) {
        _line_starts.emplace(_text);
    }
    return *_line_starts;
}

bool KestParDocument::Reads(std::string_view text) const {
    // A document moved since keeps its text elsewhere when it is short (in the string itself).
    return text.data() == _text.data() && text.size() == _text.size();
}

std::string KestParDocument::Current(std::size_t begin, std::size_t end,
                                     const std::vector<Replacement>& more) const {
    std::vector<const Replacement*> changes;
    // A value set at the text's very end (`KEY =` on a last line without a line end) is an
    // insertion there: it belongs to a stretch that ends with the text.
    for (auto w = _waiting.lower_bound(begin);
         w != _waiting.end() && (w->first < end || (w->first == end && end == _text.size())); ++w) {
        changes.push_back(&w->second);
    }
    for (const Replacement& change : more) {
        changes.push_back(&change);
    }
    std::sort(changes.begin(), changes.end(),
              [](const Replacement* a, const Replacement* b) { return a->begin < b->begin; });
    std::string text;
    std::size_t at = begin;
    for (const Replacement* change : changes) {
        text.append(_text, at, change->begin - at);
        text += change->text;
        at = change->end;
    }
    text.append(_text, at, end - at);
    return text;
}

void KestParDocument::Settle() const {
    if (_waiting.empty()) {
        return;
    }
    std::string text = Current(0, _text.size());
    _waiting.clear();
    _text = std::move(text);
    Changed();
}

void KestParDocument::Changed() const {
    _stale = true;
    _syntax.reset();
    _line_starts.reset();
}

const KestCmd& KestParDocument::Settled(const KestCmd& cmd) const {
    if (_waiting.empty()) {
        return cmd;
    }
    // The waiting changes leave every block where it was: the command of the same block, read
    // again.
    const std::size_t index = IndexOf(cmd);
    Settle();
    Refresh();
    return _positions.Command(index);
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
    _stale = false;
}

std::string_view KestParDocument::Line(std::size_t line) const {
    return LineStarts().Line(line);
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

std::size_t KestParDocument::IndexOf(const KestCmd& cmd) const {
    Refresh();
    const std::size_t i = _positions.IndexOf(cmd);
    if (i == _positions.CommandCount()) {
        throw KestParEditError("the command has no block in the text (the default rules made it)");
    }
    return i;
}

std::size_t KestParDocument::OwnLine(const KestCmd& cmd, CmdItem kind, std::size_t index) const {
    IndexOf(cmd);
    const KestItemSource source = item_source(Lines(), _positions, cmd, kind, index);
    switch (source.origin) {
    case KestItemOrigin::unread:
        throw KestParEditError("item " + item_name(kind, index) +
                               " has no line in the text (the default rules made it)");
    case KestItemOrigin::implied:
        throw KestParEditError("item " + item_name(kind, index) +
                               " has no text of its own: the line " + std::to_string(source.line) +
                               " implies it");
    case KestItemOrigin::piece:
        throw KestParEditError("item " + item_name(kind, index) + " is one piece of line " +
                               std::to_string(source.line) +
                               ", which makes other items too: its value is not " +
                               default_item_names[kind] + "'s alone");
    case KestItemOrigin::whole:
        break;
    }
    // The VALUE of LE_VALUE and GE_VALUE is the line's value; the TYPE goes with it.
    if (source.shared && kind != VALUE) {
        throw KestParEditError("the line of " + item_name(kind, index) +
                               " makes other items too: its value is not " +
                               default_item_names[kind] + "'s alone");
    }
    return source.line;
}

std::string KestParDocument::IndentOf(std::size_t cmd_index) const {
    const auto items = _positions.Items(cmd_index);
    if (items.empty()) {
        return "  ";
    }
    const KestParSyntax& syntax = Lines();
    const std::size_t line = items.front().span.key.line;
    return std::string(syntax.Text().substr(syntax.Line(line).begin, syntax.Line(line).first));
}

void KestParDocument::Apply(std::vector<Replacement> changes, const Expectation& expected,
                            bool wait) {
    const KestParSyntax& syntax = Lines();
    // The stretch of whole blocks the edit touches, which is read alone before and after it.
    std::size_t begin = _text.size();
    std::size_t end = _text.size();
    if (expected.count > 0) {
        const KestCmdSpan first = *_positions.Find(_positions.Command(expected.first));
        const KestCmdSpan last =
            *_positions.Find(_positions.Command(expected.first + expected.count - 1));
        begin = syntax.Line(first.keyword.line).begin;
        end = syntax.Line(last.end_line).next();
    }
    for (const Replacement& change : changes) {
        begin = std::min(begin, change.begin);
        end = std::max(end, change.end);
    }
    // A change that waits for the same value gives way to this one (and comes back if this
    // one is refused).
    std::optional<Replacement> superseded;
    if (wait) {
        if (const auto found = _waiting.find(changes.front().begin); found != _waiting.end()) {
            superseded = std::move(found->second);
            _waiting.erase(found);
        }
    }
    try {
        Check(changes, expected, begin, end);
    } catch (...) {
        if (superseded) {
            _waiting.emplace(superseded->begin, std::move(*superseded));
        }
        throw;
    }
    if (wait) {
        const std::size_t at = changes.front().begin;
        _waiting.emplace(at, std::move(changes.front()));
        return;
    }
    _text.replace(begin, end - begin, Current(begin, end, changes));
    Changed();
}

void KestParDocument::Check(const std::vector<Replacement>& changes, const Expectation& expected,
                            std::size_t begin, std::size_t end) const {
    // The stretch as it reads now, with the changes that wait in it, and after this edit.
    const std::string now = Current(begin, end);
    const std::string region = Current(begin, end, changes);

    KestCmdContainer old_job;
    KestCmdContainer new_job;
    const std::vector<KestCmd*> before = read_blocks(_reader, now, old_job);
    std::vector<KestCmd*> after;
    try {
        after = read_blocks(_reader, region, new_job);
    } catch (const std::exception& failure) {
        throw KestParEditError(std::string("the text would no longer read: ") + failure.what());
    }
    // Text after the stretch must still stand outside every block.
    const KestParSyntax changed(region);
    if (end < _text.size() && !changed.Blocks().empty() && !changed.Blocks().back().closed) {
        throw KestParEditError("the edit would leave a block open: the blocks after it would "
                               "be read into it");
    }
    if (after.size() != expected.count_after) {
        throw KestParEditError("the edit would make " + std::to_string(after.size()) +
                               " blocks of " + std::to_string(expected.count_after));
    }
    for (std::size_t i = 0; i < std::max(before.size(), after.size()); ++i) {
        const std::string wrong = expected.allowed(i, i < before.size() ? before[i] : nullptr,
                                                   i < after.size() ? after[i] : nullptr);
        if (!wrong.empty()) {
            throw KestParEditError("refused: " + wrong);
        }
    }
}

void KestParDocument::SetValue(const KestCmd& given, CmdItem kind, std::size_t index,
                               std::string_view value) {
    // A value that names nothing and is no name changes no link and no block's type: it may
    // wait. (PLACEHOLDER holds DEF_TYPE, which makes a DRESP an OPERATOR.)
    const bool may_wait =
        kind != ID_NAME && kind != PLACEHOLDER && !KestCmdDefs::names_commands(kind);
    const KestCmd& cmd = may_wait ? given : Settled(given);
    const std::size_t c = IndexOf(cmd);
    const std::size_t line = OwnLine(cmd, kind, index);
    const KestParSyntax& syntax = Lines();
    value = trim(value);
    check_one_line(value, "value");
    // A line without '=' would become a line with a key.
    if (syntax.Kind(line) == KestLineKind::bare &&
        KestParScanner::EqualsOf(value) != std::string_view::npos) {
        throw KestParEditError("value '" + std::string(value) +
                               "' holds '=', which would make its line a key's");
    }
    const KestByteSpan first = syntax.ValueOnLine(line);
    const KestByteSpan last = syntax.ValueOnLine(syntax.EntryEnd(line));
    // "KEY =" gets "KEY = value", not "KEY =value". A value that waits here already stands
    // in the line as it would were it applied: the blank it brought stays.
    const KestSyntaxLine own = syntax.Line(line);
    const auto waiting = _waiting.find(first.begin);
    const std::string before =
        waiting == _waiting.end()
            ? std::string()
            : waiting->second.text.substr(0, waiting->second.text.find_first_not_of(' '));
    const bool spaced = own.kind == KestLineKind::item && before.empty() &&
                        first.begin == own.begin + own.equals + 1 && !value.empty();
    Expectation expected{c, 1, 1, [&](std::size_t, const KestCmd* before, const KestCmd* after) {
                             return difference(*before, *after, {{kind, index}});
                         }};
    Apply({{first.begin, last.end, before + (spaced ? " " : "") + std::string(value)}}, expected,
          may_wait);
}

void KestParDocument::AddItem(const KestCmd& given, std::string_view key, std::string_view value) {
    const KestCmd& cmd = Settled(given);
    const std::size_t c = IndexOf(cmd);
    key = trim(key);
    value = trim(value);
    check_one_line(key, "key");
    check_one_line(value, "value");
    if (key.empty() || KestParScanner::EqualsOf(key) != std::string_view::npos) {
        throw KestParEditError("key '" + std::string(key) + "' is empty or holds '='");
    }
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
    const KestParSyntax& syntax = Syntax();
    const std::string eol(syntax.Eol());
    const std::string line = IndentOf(c) + std::string(key) + " = " + std::string(value) + eol;
    std::size_t last = 0;
    for (const auto& place : _positions.Items(c)) {
        if (place.kind == kind) {
            last = std::max(last, syntax.EntryEnd(place.span.key.line));
        }
    }
    const KestSyntaxBlock& block =
        syntax.Blocks()[syntax.BlockOf(_positions.Find(cmd)->keyword.line)];
    std::size_t at = 0;
    if (last != 0) {
        at = syntax.Line(last).next();
    } else if (block.closed) {
        at = syntax.Line(block.end_line).begin;
    } else {
        at = syntax.Line(block.end_line).next(); // a block that the end of the text closes
    }
    // After a last line without a line end, the new line starts a line of its own.
    const bool own_line = at == 0 || _text[at - 1] == '\n';
    Expectation expected{
        c, 1, 1, [&](std::size_t, const KestCmd* before, const KestCmd* after) {
            std::size_t added = 0;
            for (int k = 0; k < item_kind_count; ++k) {
                const auto kd = static_cast<CmdItem>(k);
                if (after->ItemCount(kd) < before->ItemCount(kd)) {
                    return "the block would lose " + default_item_names[kd] + " items";
                }
                for (std::size_t i = 0; i < before->ItemCount(kd); ++i) {
                    if (before->Item(kd, i).GetString() != after->Item(kd, i).GetString()) {
                        return item_name(kd, i) + " would change";
                    }
                }
                added += after->ItemCount(kd) - before->ItemCount(kd);
            }
            return added == 0 ? std::string("the line would make no item") : std::string();
        }};
    Apply({{at, at, (own_line ? "" : eol) + line}}, expected);
}

void KestParDocument::RemoveItem(const KestCmd& given, CmdItem kind, std::size_t index) {
    const KestCmd& cmd = Settled(given);
    const std::size_t c = IndexOf(cmd);
    const std::size_t line = OwnLine(cmd, kind, index);
    const KestParSyntax& syntax = Syntax();
    // The items the line made: the item, and the TYPE that LE_VALUE or GE_VALUE implies.
    std::set<std::pair<CmdItem, std::size_t>> gone;
    for (const auto& place : _positions.Items(c)) {
        if (place.span.key.line == line) {
            gone.insert({place.kind, place.index});
        }
    }
    const std::size_t last = syntax.EntryEnd(line);
    std::size_t keep = syntax.Line(last).next();
    // Were the value above to go on (ending with ',') over the line below, a line end stays: a
    // blank line ends the value.
    const auto continues = [&](std::size_t l) {
        const KestSyntaxLine above = syntax.Line(l);
        return (above.kind == KestLineKind::item || above.kind == KestLineKind::bare ||
                above.kind == KestLineKind::continuation) &&
               KestParScanner::Continues(syntax.Bytes(syntax.Trimmed(l)));
    };
    if (line > 1 && continues(line - 1) && last < syntax.LineCount()) {
        keep = syntax.Line(last).begin + syntax.Line(last).length;
    }
    Expectation expected{c, 1, 1, [&](std::size_t, const KestCmd* before, const KestCmd* after) {
                             for (int k = 0; k < item_kind_count; ++k) {
                                 const auto kd = static_cast<CmdItem>(k);
                                 std::vector<std::string> left;
                                 for (std::size_t i = 0; i < before->ItemCount(kd); ++i) {
                                     if (gone.count({kd, i}) == 0) {
                                         left.push_back(before->Item(kd, i).GetString());
                                     }
                                 }
                                 std::vector<std::string> read;
                                 for (std::size_t i = 0; i < after->ItemCount(kd); ++i) {
                                     read.push_back(after->Item(kd, i).GetString());
                                 }
                                 if (left != read) {
                                     return "the " + default_item_names[kd] +
                                            " items of the block would change";
                                 }
                             }
                             return std::string();
                         }};
    Apply({{syntax.Line(line).begin, keep, ""}}, expected);
}

void KestParDocument::AddCommand(std::string_view keyword,
                                 const std::vector<std::pair<std::string, std::string>>& items,
                                 const KestCmd* after) {
    if (after != nullptr) {
        after = &Settled(*after);
    }
    const KestParSyntax& syntax = Syntax();
    const std::string eol(syntax.Eol());
    keyword = trim(keyword);
    check_one_line(keyword, "keyword");
    std::string block = std::string(keyword) + eol;
    for (const auto& [key, value] : items) {
        check_one_line(key, "key");
        check_one_line(value, "value");
        block += "  " + std::string(trim(key)) + " = " + std::string(trim(value)) + eol;
    }
    block += std::string(KestParSyntax::block_end) + eol;
    // The block must read back as one block of these lines.
    const KestParSyntax own(block);
    std::size_t item_lines = 0;
    for (std::size_t l = 1; l <= own.LineCount(); ++l) {
        item_lines += own.Kind(l) == KestLineKind::item ? 1 : 0;
    }
    if (own.Blocks().size() != 1 || !own.Blocks()[0].closed || item_lines != items.size() ||
        own.Bytes(own.Trimmed(1)) != keyword) {
        throw KestParEditError("block '" + std::string(keyword) +
                               "' would not read back as one block of its lines");
    }
    // The block goes after the block of `after`, or at the end of the text. The last block may
    // be closed by the end of the text: it gets its END_ first, or it would take the new lines.
    const std::size_t count = _positions.CommandCount();
    std::size_t previous = count;
    if (after != nullptr) {
        previous = IndexOf(*after);
    } else if (count > 0) {
        previous = count - 1;
    }
    std::size_t at = _text.size();
    std::string prefix;
    if (previous != count) {
        const KestCmdSpan span = *_positions.Find(_positions.Command(previous));
        if (after != nullptr) {
            at = syntax.Line(span.end_line).next();
        }
        if (!syntax.Blocks()[syntax.BlockOf(span.keyword.line)].closed) {
            prefix = std::string(KestParSyntax::block_end) + eol;
        }
    }
    if (at > 0 && _text[at - 1] != '\n') {
        prefix = eol + prefix;
    }
    if (at > 0) {
        prefix += eol; // a blank line between blocks
    }
    const std::size_t touched = previous != count ? 1 : 0;
    Expectation expected{previous != count ? previous : 0, touched, touched + 1,
                         [&](std::size_t i, const KestCmd* before, const KestCmd* now) {
                             return i < touched ? difference(*before, *now) : std::string();
                         }};
    Apply({{at, at, prefix + block}}, expected);
}

void KestParDocument::RemoveCommand(const KestCmd& given) {
    const KestCmd& cmd = Settled(given);
    const std::size_t c = IndexOf(cmd);
    const KestParSyntax& syntax = Syntax();
    const KestCmdSpan span = *_positions.Find(cmd);
    Expectation expected{c, 1, 0,
                         [](std::size_t, const KestCmd*, const KestCmd*) { return std::string(); }};
    Apply({{syntax.Line(span.keyword.line).begin, syntax.Line(span.end_line).next(), ""}},
          expected);
}

void KestParDocument::RenameCommand(const KestCmd& given, std::string_view name) {
    const KestCmd& cmd = Settled(given);
    name = trim(name);
    check_one_line(name, "name");
    const std::string upper = KestText::to_upper_copy(name);
    // A name stands as a value and as a piece of a list that may begin a line of its own.
    if (!KestParSyntax::StandsAsPiece(name)) {
        throw KestParEditError("name '" + std::string(name) +
                               "' would not read back as a name: it is empty, holds ',' or "
                               "'=', or begins with '#' or END_");
    }
    for (const KestCmd& other : Job()) {
        if (&other != &cmd && other.HasItem(ID_NAME) &&
            KestText::to_upper_copy(other.Item(ID_NAME, 0).GetString()) == upper) {
            throw KestParEditError("a " + KestCmdDefs::get_default_cmd_names()[other.GetType()] +
                                   " is named '" + other.Item(ID_NAME, 0).GetString() +
                                   "' already: what names the command would name that one");
        }
    }
    const std::size_t own = OwnLine(cmd, ID_NAME, 0);
    const KestParSyntax& syntax = Syntax();
    const std::string old = KestText::to_upper_copy(cmd.Item(ID_NAME, 0).GetString());
    if (upper != old && !pieces_named(syntax, _positions, upper).empty()) {
        throw KestParEditError("'" + std::string(name) +
                               "' is named where no command has that name: those references "
                               "would name this command");
    }
    const KestByteSpan own_value = syntax.ValueOnLine(own);
    std::vector<Replacement> changes{{own_value.begin, own_value.end, std::string(name)}};
    std::map<std::size_t, std::set<std::pair<CmdItem, std::size_t>>> touched;
    touched[_positions.IndexOf(cmd)].insert({ID_NAME, 0});
    for (const KestNamePiece& piece : pieces_naming(syntax, _positions, _job, cmd)) {
        const std::string_view written = syntax.Bytes(piece.span);
        // A piece written in capitals may belong to a key whose values are kept as given
        // (LE_VALUE): it gets the name in capitals, as the name reads, so that it still links.
        const bool capitals = KestText::to_upper_copy(written) == written;
        changes.push_back({piece.span.begin, piece.span.end, capitals ? upper : std::string(name)});
        touched[_positions.IndexOf(*piece.cmd)].insert({piece.kind, piece.index});
    }
    const std::size_t first = touched.begin()->first;
    const std::size_t count = touched.rbegin()->first - first + 1;
    Expectation expected{
        first, count, count, [&](std::size_t i, const KestCmd* before, const KestCmd* after) {
            const auto found = touched.find(first + i);
            return difference(*before, *after,
                              found == touched.end() ? std::set<std::pair<CmdItem, std::size_t>>()
                                                     : found->second);
        }};
    Apply(std::move(changes), expected);
}

void KestParDocument::Save(const std::wstring& path) const {
    KestFileUtil::write_all_safely(path.empty() ? _file_name : path, Text());
}
