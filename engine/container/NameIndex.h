// An index from command names to commands for reference creation: open addressing over one
// flat table, short names stored in the table itself, so a look-up usually costs one cache line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class KestCmd;

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
    const KestCmd* find(std::string_view name) const { return find(name, hash(name)); }
    /// find, for a name whose hash is known.
    const KestCmd* find(std::string_view name, std::uint64_t hash) const;
    bool empty() const { return _count == 0; }

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
};
