#include "engine/container/detail/NameIndex.h"

#include <cstring>
#include <functional>

namespace {

// Where a long name lives: its offset in bytes 0 to 7 of the slot's text, its length in bytes
// 8 to 14 (seven bytes are plenty for a length).
void store_place(char* text, std::uint64_t offset, std::uint64_t length) {
    std::memcpy(text, &offset, 8);
    std::memcpy(text + 8, &length, 7);
}

void load_place(const char* text, std::uint64_t& offset, std::uint64_t& length) {
    offset = 0;
    length = 0;
    std::memcpy(&offset, text, 8);
    std::memcpy(&length, text + 8, 7);
}

} // namespace

NameIndex::NameIndex(std::size_t expected) {
    // At most half full: short probe sequences.
    std::size_t size = 16;
    while (size < 2 * expected) {
        size *= 2;
    }
    _slots.resize(size);
}

std::uint64_t NameIndex::hash(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

bool NameIndex::holds(const Slot& slot, std::string_view name) const {
    if (slot.tag != long_tag) {
        return slot.tag == name.size() && std::memcmp(slot.text, name.data(), name.size()) == 0;
    }
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    load_place(slot.text, offset, length);
    return length == name.size() && std::string_view(_long_names).substr(offset, length) == name;
}

std::size_t NameIndex::probe(std::string_view name, std::uint64_t hash) const {
    const std::size_t mask = _slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = _slots[i];
        if (slot.cmd == nullptr || (slot.hash == hash && holds(slot, name))) {
            return i;
        }
    }
}

void NameIndex::grow() {
    std::vector<Slot> old(_slots.size() * 2);
    old.swap(_slots);
    const std::size_t mask = _slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.cmd != nullptr) {
            std::size_t i = slot.hash & mask;
            while (_slots[i].cmd != nullptr) {
                i = (i + 1) & mask;
            }
            _slots[i] = slot;
        }
    }
}

void NameIndex::add_first(std::string_view name, std::uint64_t h, const KestCmd* cmd) {
    _filter.add(name);
    if (2 * (_count + 1) > _slots.size()) {
        grow();
    }
    Slot& slot = _slots[probe(name, h)];
    if (slot.cmd != nullptr) {
        return;
    }
    slot.hash = h;
    slot.cmd = cmd;
    if (name.size() <= inline_capacity) {
        std::memcpy(slot.text, name.data(), name.size());
        slot.tag = static_cast<std::uint8_t>(name.size());
    } else {
        store_place(slot.text, _long_names.size(), name.size());
        slot.tag = long_tag;
        _long_names.append(name);
    }
    ++_count;
}

const KestCmd* NameIndex::find(std::string_view name, std::uint64_t hash) const {
    return _slots[probe(name, hash)].cmd;
}

void NameIndex::prefetch(std::uint64_t hash) const {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(&_slots[hash & (_slots.size() - 1)]);
#else
    static_cast<void>(hash);
#endif
}
