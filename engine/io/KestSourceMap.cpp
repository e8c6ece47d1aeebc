#include "engine/io/KestSourceMap.h"

#include "engine/model/KestCmd.h"

#include <algorithm>
#include <array>

using KestCmdItemDefs::CmdItem;

namespace {

// Each command's positions are a run of bytes: its keyword's line and column, then one entry per
// item, then the end tag and the END_ line. An entry is a tag byte holding the kind and two
// flags, the index unless `next_index` says it, the lines of the key, the value's start and its
// end unless `next_line` says them, and the three columns. Numbers are unsigned LEB128; lines
// are differences (the key's from the previous entry's key, or the keyword for the first),
// zigzag-coded so that any order of lines can be recorded. The usual line takes four bytes.
constexpr std::uint8_t end_tag = 0xFF;
/// The index is one more than that of the previous entry of its kind (0 for the first).
constexpr std::uint8_t next_index = 0x40;
/// The key stands on the line after the previous entry's key (the keyword's, for the first), and
/// the value starts and ends on that line.
constexpr std::uint8_t next_line = 0x80;
constexpr std::uint8_t kind_bits = 0x3F;
static_assert(KestCmdItemDefs::item_kind_count <= kind_bits + 1, "a kind fits the tag's bits");
static_assert((kind_bits | next_index | next_line) == end_tag, "no entry's tag is the end tag");
static_assert(KestCmdItemDefs::item_kind_count - 1 < kind_bits, "kind 63 would make the end tag");

std::uint64_t zigzag(std::int64_t v) {
    return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63);
}
std::int64_t unzigzag(std::uint64_t v) {
    return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1);
}
std::uint64_t difference(std::size_t from, std::size_t to) {
    return zigzag(static_cast<std::int64_t>(to) - static_cast<std::int64_t>(from));
}
std::size_t add(std::size_t from, std::uint64_t coded) {
    return static_cast<std::size_t>(static_cast<std::int64_t>(from) + unzigzag(coded));
}

} // namespace

/// Bytes in pages of 64 KiB, so that a growing map never copies what it holds nor keeps twice
/// the room it needs.
class KestSourceMap::Bytes {
  public:
    static constexpr std::size_t page_bits = 16;
    static constexpr std::size_t page_size = std::size_t{1} << page_bits;

    std::uint64_t size() const { return _size; }
    std::uint8_t operator[](std::uint64_t at) const {
        return _pages[at >> page_bits][at & (page_size - 1)];
    }
    void Push(std::uint8_t byte) {
        if ((_size & (page_size - 1)) == 0 && (_size >> page_bits) == _pages.size()) {
            _pages.push_back(std::make_unique<std::uint8_t[]>(page_size));
        }
        _pages[_size >> page_bits][_size & (page_size - 1)] = byte;
        ++_size;
    }
    void PushNumber(std::uint64_t v) {
        while (v >= 0x80) {
            Push(static_cast<std::uint8_t>(v | 0x80));
            v >>= 7;
        }
        Push(static_cast<std::uint8_t>(v));
    }
    std::uint64_t ReadNumber(std::uint64_t& at) const {
        std::uint64_t v = 0;
        for (int shift = 0; at < _size; shift += 7) {
            const std::uint8_t byte = (*this)[at++];
            v |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0 || shift >= 63) {
                break;
            }
        }
        return v;
    }
    void Clear() {
        _pages.clear();
        _gaps.clear();
        _size = 0;
    }
    /// Takes the pages of `other` over after these, without copying them, and returns the
    /// offset its bytes start at here. Unless these end at a page's end, the rest of their last
    /// page is left unused: a gap, which ends the bytes before it as the end of all bytes does.
    std::uint64_t Adopt(Bytes&& other) {
        if (other._size == 0) {
            return _size;
        }
        if ((_size & (page_size - 1)) != 0) {
            _gaps.push_back(_size);
            _size = ((_size >> page_bits) + 1) << page_bits;
        }
        const std::uint64_t start = _size;
        for (auto& page : other._pages) {
            _pages.push_back(std::move(page));
        }
        for (const std::uint64_t gap : other._gaps) {
            _gaps.push_back(start + gap);
        }
        _size = start + other._size;
        other.Clear();
        return start;
    }
    /// Where the bytes that start at `at` end at the latest: at the next gap, or at the end.
    std::uint64_t EndFrom(std::uint64_t at) const {
        const auto gap = std::upper_bound(_gaps.begin(), _gaps.end(), at);
        return gap != _gaps.end() ? *gap : _size;
    }
    std::unique_ptr<Bytes> Copy() const {
        auto copy = std::make_unique<Bytes>();
        for (const auto& page : _pages) {
            copy->_pages.push_back(std::make_unique<std::uint8_t[]>(page_size));
            std::copy(page.get(), page.get() + page_size, copy->_pages.back().get());
        }
        copy->_size = _size;
        copy->_gaps = _gaps;
        return copy;
    }

  private:
    std::vector<std::unique_ptr<std::uint8_t[]>> _pages;
    std::uint64_t _size = 0;
    /// The offsets where unused rest of a page begins, in increasing order.
    std::vector<std::uint64_t> _gaps;
};

KestSourceMap::KestSourceMap() : _bytes(std::make_unique<Bytes>()) {}
KestSourceMap::KestSourceMap(const KestSourceMap& other)
    : _records(other._records), _bytes(other._bytes->Copy()), _current_line(other._current_line),
      _last_key_line(other._last_key_line), _next_index(other._next_index) {}
KestSourceMap::KestSourceMap(KestSourceMap&& other) noexcept = default;
KestSourceMap& KestSourceMap::operator=(const KestSourceMap& other) {
    if (this != &other) {
        *this = KestSourceMap(other);
    }
    return *this;
}
KestSourceMap& KestSourceMap::operator=(KestSourceMap&& other) noexcept = default;
KestSourceMap::~KestSourceMap() = default;

void KestSourceMap::Clear() {
    _records.clear();
    if (_bytes) {
        _bytes->Clear();
    } else {
        _bytes = std::make_unique<Bytes>();
    }
    _by_command.clear();
    _current_line = 0;
}

void KestSourceMap::Append(KestSourceMap&& other) {
    if (&other == this || !other._bytes) {
        return;
    }
    if (!_bytes) {
        _bytes = std::make_unique<Bytes>();
    }
    const std::uint64_t shift = _bytes->Adopt(std::move(*other._bytes));
    for (const Record& record : other._records) {
        _records.push_back({record.cmd, record.offset + shift});
    }
    _current_line = other._current_line;
    _by_command.clear();
    other.Clear();
}

void KestSourceMap::BeginCommand(const KestCmd& cmd, KestTextPosition keyword) {
    if (!_bytes) {
        _bytes = std::make_unique<Bytes>();
    }
    _records.push_back({&cmd, _bytes->size()});
    _bytes->PushNumber(keyword.line);
    _bytes->PushNumber(keyword.column);
    _current_line = keyword.line;
    _last_key_line = keyword.line;
    _next_index.fill(0);
}

void KestSourceMap::AddItem(CmdItem kind, std::size_t index, const KestItemSpan& span) {
    const bool counted = index == _next_index[kind];
    const bool usual = span.key.line == _last_key_line + 1 && span.value.line == span.key.line &&
                       span.value_end.line == span.key.line;
    _bytes->Push(
        static_cast<std::uint8_t>(kind | (counted ? next_index : 0) | (usual ? next_line : 0)));
    if (!counted) {
        _bytes->PushNumber(index);
    }
    if (!usual) {
        _bytes->PushNumber(difference(_last_key_line, span.key.line));
        _bytes->PushNumber(difference(span.key.line, span.value.line));
        _bytes->PushNumber(difference(span.value.line, span.value_end.line));
    }
    _bytes->PushNumber(span.key.column);
    _bytes->PushNumber(span.value.column);
    _bytes->PushNumber(span.value_end.column);
    _last_key_line = span.key.line;
    _next_index[kind] = index + 1;
}

void KestSourceMap::EndCommand(std::size_t end_line) {
    _bytes->Push(end_tag);
    _bytes->PushNumber(difference(_current_line, end_line));
}

KestCmdSpan KestSourceMap::Decode(std::size_t i,
                                  const std::function<void(const ItemPlace&)>* visit) const {
    const Bytes& bytes = *_bytes;
    std::uint64_t at = _records[i].offset;
    const std::uint64_t stop = std::min(
        i + 1 < _records.size() ? _records[i + 1].offset : bytes.size(), bytes.EndFrom(at));
    KestCmdSpan span;
    span.keyword.line = static_cast<std::size_t>(bytes.ReadNumber(at));
    span.keyword.column = static_cast<std::size_t>(bytes.ReadNumber(at));
    span.end_line = span.keyword.line;
    std::size_t last_key_line = span.keyword.line;
    std::array<std::size_t, KestCmdItemDefs::item_kind_count> next{};
    while (at < stop) {
        const std::uint8_t tag = bytes[at++];
        if (tag == end_tag) {
            span.end_line = add(span.keyword.line, bytes.ReadNumber(at));
            break;
        }
        ItemPlace place{static_cast<CmdItem>(tag & kind_bits), 0, {}};
        place.index = (tag & next_index) != 0 ? next[place.kind]
                                              : static_cast<std::size_t>(bytes.ReadNumber(at));
        next[place.kind] = place.index + 1;
        KestItemSpan& s = place.span;
        if ((tag & next_line) != 0) {
            s.key.line = s.value.line = s.value_end.line = last_key_line + 1;
        } else {
            s.key.line = add(last_key_line, bytes.ReadNumber(at));
            s.value.line = add(s.key.line, bytes.ReadNumber(at));
            s.value_end.line = add(s.value.line, bytes.ReadNumber(at));
        }
        last_key_line = s.key.line;
        s.key.column = static_cast<std::size_t>(bytes.ReadNumber(at));
        s.value.column = static_cast<std::size_t>(bytes.ReadNumber(at));
        s.value_end.column = static_cast<std::size_t>(bytes.ReadNumber(at));
        // A block that a failure cut short ends at its last item.
        span.end_line = std::max(span.end_line, s.value_end.line);
        if (visit != nullptr) {
            (*visit)(place);
        }
    }
    return span;
}

std::size_t KestSourceMap::IndexOf(const KestCmd& cmd) const {
    if (_by_command.size() != _records.size()) {
        _by_command.clear();
        _by_command.reserve(_records.size());
        for (std::size_t i = 0; i < _records.size(); ++i) {
            _by_command.emplace_back(_records[i].cmd, i);
        }
        std::sort(_by_command.begin(), _by_command.end());
    }
    const auto found =
        std::lower_bound(_by_command.begin(), _by_command.end(), &cmd,
                         [](const std::pair<const KestCmd*, std::size_t>& e, const KestCmd* c) {
                             return std::less<const KestCmd*>()(e.first, c);
                         });
    return found != _by_command.end() && found->first == &cmd ? found->second : _records.size();
}

KestCmdSpan KestSourceMap::Span(std::size_t i) const {
    return Decode(i, nullptr);
}

std::optional<KestCmdSpan> KestSourceMap::Find(const KestCmd& cmd) const {
    const std::size_t i = IndexOf(cmd);
    if (i == _records.size()) {
        return std::nullopt;
    }
    return Decode(i, nullptr);
}

std::optional<KestItemSpan> KestSourceMap::Find(const KestCmd& cmd, CmdItem kind,
                                                std::size_t index) const {
    const std::size_t i = IndexOf(cmd);
    if (i == _records.size() || index >= cmd.ItemCount(kind)) {
        return std::nullopt;
    }
    for (const ItemPlace& place : Items(i)) {
        if (place.kind == kind && place.index == index) {
            return place.span;
        }
    }
    return std::nullopt;
}

std::optional<KestItemSpan> KestSourceMap::Find(const KestCmd& cmd, const KestCmdItem& item) const {
    const std::size_t i = IndexOf(cmd);
    if (i == _records.size()) {
        return std::nullopt;
    }
    for (const ItemPlace& place : Items(i)) {
        if (place.index < cmd.ItemCount(place.kind) &&
            &cmd.Item(place.kind, place.index) == &item) {
            return place.span;
        }
    }
    return std::nullopt;
}

KestSourceMap::Hit KestSourceMap::At(KestTextPosition place) const {
    Hit hit;
    // The last block whose keyword stands at or before the place.
    std::size_t low = 0;
    std::size_t high = _records.size();
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        std::uint64_t at = _records[mid].offset;
        KestTextPosition keyword;
        keyword.line = static_cast<std::size_t>(_bytes->ReadNumber(at));
        keyword.column = static_cast<std::size_t>(_bytes->ReadNumber(at));
        if (place < keyword) {
            high = mid;
        } else {
            low = mid + 1;
        }
    }
    if (low == 0) {
        return hit;
    }
    const std::function<void(const ItemPlace&)> visit = [&](const ItemPlace& item) {
        const KestTextPosition line_start{item.span.key.line, 1};
        if (!hit.on_item && !(place < line_start) && !(item.span.value_end < place)) {
            hit.on_item = true;
            hit.kind = item.kind;
            hit.index = item.index;
            hit.span = item.span;
        }
    };
    const KestCmdSpan span = Decode(low - 1, &visit);
    if (place.line > span.end_line) {
        return Hit();
    }
    hit.command = _records[low - 1].cmd;
    return hit;
}

std::size_t KestSourceMap::CommandCount() const {
    return _records.size();
}

const KestCmd& KestSourceMap::Command(std::size_t i) const {
    return *_records[i].cmd;
}

std::vector<KestSourceMap::ItemPlace> KestSourceMap::Items(std::size_t i) const {
    // Counted first: the list of a block of half a million lines would otherwise grow to twice
    // its size.
    std::size_t count = 0;
    ForEachItem(i, [&count](const ItemPlace&) { ++count; });
    std::vector<ItemPlace> items;
    items.reserve(count);
    ForEachItem(i, [&items](const ItemPlace& place) { items.push_back(place); });
    return items;
}

void KestSourceMap::ForEachItem(std::size_t i,
                                const std::function<void(const ItemPlace&)>& visit) const {
    Decode(i, &visit);
}
