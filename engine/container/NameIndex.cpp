#include "engine/container/NameIndex.h"

#include <functional>

NameIndex::NameIndex(std::size_t expected) {
    // At most half full: short probe sequences.
    std::size_t size = 16;
    while (size < 2 * expected) {
        size *= 2;
    }
    _slots.resize(size);
}

std::size_t NameIndex::probe(std::string_view name, std::uint64_t hash) const {
    const std::size_t mask = _slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = _slots[i];
        if (slot.cmd == nullptr || (slot.hash == hash && std::string_view(_names).substr(
                                                             slot.offset, slot.length) == name)) {
            return i;
        }
    }
}

void NameIndex::add_first(std::string_view name, const KestCmd* cmd) {
    if (2 * (_count + 1) > _slots.size()) {
        std::vector<Slot> old(_slots.size() * 2);
        old.swap(_slots);
        for (const Slot& slot : old) {
            if (slot.cmd != nullptr) {
                const std::size_t mask = _slots.size() - 1;
                std::size_t i = slot.hash & mask;
                while (_slots[i].cmd != nullptr) {
                    i = (i + 1) & mask;
                }
                _slots[i] = slot;
            }
        }
    }
    const std::uint64_t h = hash(name);
    Slot& slot = _slots[probe(name, h)];
    if (slot.cmd == nullptr) {
        slot = Slot{h, _names.size(), name.size(), cmd};
        _names.append(name);
        ++_count;
    }
}

const KestCmd* NameIndex::find(std::string_view name, std::uint64_t hash) const {
    return _slots[probe(name, hash)].cmd;
}

std::uint64_t NameIndex::hash(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

#if defined(__GNUC__) || defined(__clang__)
#define KEST_PREFETCH(p) __builtin_prefetch(p)
#else
#define KEST_PREFETCH(p) static_cast<void>(p)
#endif

void NameIndex::prefetch_slot(std::uint64_t hash) const {
    KEST_PREFETCH(&_slots[hash & (_slots.size() - 1)]);
}

void NameIndex::prefetch_name(std::uint64_t hash) const {
    const Slot& slot = _slots[hash & (_slots.size() - 1)];
    if (slot.cmd != nullptr) {
        KEST_PREFETCH(_names.data() + slot.offset);
    }
}
