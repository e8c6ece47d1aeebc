// An index from command names to commands for reference creation: open addressing over one
// flat table, short names stored in the table itself, so a look-up usually costs one cache line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class KestCmd;

/// Which names an index may hold, judged by their lengths and first bytes alone: most texts that
/// are no name are ruled out without hashing them.
class NameFilter {
  public:
    void add(std::string_view name) {
        _lengths |= std::uint64_t{1} << length_bit(name);
        if (!name.empty()) {
            const auto first = static_cast<unsigned char>(name.front());
            _first_bytes[first / 64] |= std::uint64_t{1} << (first % 64);
        }
    }
    /// False when no name added can equal `text`.
    bool may_hold(std::string_view text) const {
        if ((_lengths >> length_bit(text) & 1u) == 0) {
            return false;
        }
        if (text.empty()) {
            return true;
        }
        const auto first = static_cast<unsigned char>(text.front());
        return (_first_bytes[first / 64] >> (first % 64) & 1u) != 0;
    }

  private:
    static std::size_t length_bit(std::string_view text) {
        return text.size() < 63 ? text.size() : 63;
    }
    /// Bit n: some name is n bytes long (bit 63: 63 or more); bit b of the 256: some name
    /// starts with byte b.
    std::uint64_t _lengths = 0;
    std::uint64_t _first_bytes[4] = {};
};

/// Maps a name to the first command that was added under it.
class NameIndex {
  public:
    /// Sized for about `expected` names.
    explicit NameIndex(std::size_t expected);

    /// Adds `cmd` under `name` unless the name is already present.
    void add_first(std::string_view name, const KestCmd* cmd) { add_first(name, hash(name), cmd); }
    /// add_first, for a name whose hash is known.
    void add_first(std::string_view name, std::uint64_t hash, const KestCmd* cmd);
    /// The command added first under `name`, or null.
    const KestCmd* find(std::string_view name) const {
        return may_hold(name) ? find(name, hash(name)) : nullptr;
    }
    /// find, for a name whose hash is known.
    const KestCmd* find(std::string_view name, std::uint64_t hash) const;
    bool empty() const { return _count == 0; }
    /// False when no name held can equal `text`.
    bool may_hold(std::string_view text) const { return _filter.may_hold(text); }

    static std::uint64_t hash(std::string_view name);
    /// Starts loading the slot where a look-up of a name with this hash begins.
    void prefetch(std::uint64_t hash) const;

  private:
    static constexpr std::size_t inline_capacity = 15;

    /// A name of up to 15 bytes is kept in `text` with its length in `tag`; a longer one lives
    /// in `_long_names` at the offset kept in `text`, and `tag` is `long_tag`.
    struct Slot {
        std::uint64_t hash = 0;
        const KestCmd* cmd = nullptr; // null marks a free slot
        char text[inline_capacity] = {};
        std::uint8_t tag = 0;
    };
    static constexpr std::uint8_t long_tag = 0xff;

    bool holds(const Slot& slot, std::string_view name) const;
    std::size_t probe(std::string_view name, std::uint64_t hash) const;
    void grow();

    std::vector<Slot> _slots;
    std::string _long_names;
    std::size_t _count = 0;
    NameFilter _filter;
};
