// An index from command names to commands for reference creation: open addressing over one
// flat table, the names kept in one buffer, so a look-up costs one or two cache lines.
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
    void add_first(std::string_view name, const KestCmd* cmd);
    /// The command added first under `name`, or null.
    const KestCmd* find(std::string_view name) const { return find(name, hash(name)); }
    /// find, for a name whose hash is known.
    const KestCmd* find(std::string_view name, std::uint64_t hash) const;
    bool empty() const { return _count == 0; }

    static std::uint64_t hash(std::string_view name);
    /// Starts loading the slot where a look-up of a name with this hash begins.
    void prefetch_slot(std::uint64_t hash) const;
    /// Starts loading the stored name that a look-up with this hash compares first; call it
    /// once the slot is loaded.
    void prefetch_name(std::uint64_t hash) const;

  private:
    struct Slot {
        std::uint64_t hash = 0;
        std::size_t offset = 0;
        std::size_t length = 0;
        const KestCmd* cmd = nullptr; // null marks a free slot
    };

    std::size_t probe(std::string_view name, std::uint64_t hash) const;

    std::vector<Slot> _slots;
    std::string _names;
    std::size_t _count = 0;
};
