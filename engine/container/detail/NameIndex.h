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
    /// Afterwards this filter lets pass what either lets pass.
    void merge(const NameFilter& other) {
        _lengths |= other._lengths;
        for (std::size_t i = 0; i < 4; ++i) {
            _first_bytes[i] |= other._first_bytes[i];
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
    const NameFilter& filter() const { return _filter; }

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

/// A NameIndex cut by hash into shards that threads fill side by side, one each: a name always
/// falls in the same shard, so a shard filled in iteration order keeps the first command of each
/// of its names. Shards are chosen by high bits of the hash, slots within a shard by its low bits.
class ShardedNameIndex {
  public:
    ShardedNameIndex(std::size_t shards, std::size_t expected);

    std::size_t shard_of(std::uint64_t hash) const { return (hash >> 40) % _shards.size(); }
    NameIndex& shard(std::size_t s) { return _shards[s]; }
    /// To be called once the shards are filled, before the look-ups.
    void filled();

    bool empty() const { return _empty; }
    bool may_hold(std::string_view text) const { return _filter.may_hold(text); }
    void prefetch(std::uint64_t hash) const { _shards[shard_of(hash)].prefetch(hash); }
    const KestCmd* find(std::string_view name, std::uint64_t hash) const {
        return _shards[shard_of(hash)].find(name, hash);
    }

  private:
    std::vector<NameIndex> _shards;
    NameFilter _filter;
    bool _empty = true;
};
