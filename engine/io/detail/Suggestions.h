// "Did you mean": the known text closest to a mistyped one, within two edits. A small set (keys,
// block keywords, a key's keyword values) is searched whole; the names of a job, which may be
// millions, are searched through an index whose every look-up costs a bounded number of steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace KestCheckDetail {

/// The Levenshtein distance between `a` and `b`, counted only up to `limit` + 1.
std::size_t edit_distance(std::string_view a, std::string_view b, std::size_t limit);

/// The text of `known` closest to `text` within two edits (other than `text` itself; the first
/// of several as close), or empty.
std::string closest(std::string_view text, const std::vector<std::string>& known);

/// An index of texts for "did you mean", built once and asked many times. It holds each text
/// and each text with one byte deleted; a look-up asks for the text and for each of its
/// one-byte deletions. So it finds every text within one edit and those within two edits that
/// one deletion on each side makes equal (a deletion and an insertion, two adjacent changes),
/// not two edits far apart. A variant shared by more than `bucket_limit` texts keeps the first
/// of them, and texts longer than `longest` bytes are neither indexed nor looked up: a look-up
/// costs at most (longest + 1) * bucket_limit comparisons, however many texts there are.
class SuggestionIndex {
  public:
    static constexpr std::size_t longest = 64;
    static constexpr std::uint32_t bucket_limit = 16;
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    /// Indexes `texts` (kept side by side, so that comparing candidates reads few cache lines);
    /// a look-up answers a position in it.
    explicit SuggestionIndex(std::vector<std::string> texts);

    /// The position of an indexed text closest to `text`, other than `text` itself (the first
    /// one found of those as close), or `none`.
    std::size_t Closest(std::string_view text) const;
    const std::string& Text(std::size_t i) const { return _texts[i]; }

  private:
    struct Slot {
        std::uint32_t tag = 0;  ///< the high bits of the variant's hash
        std::uint32_t head = 0; ///< 1 + the first entry, 0 for an empty slot
        std::uint32_t count = 0;
    };
    struct Entry {
        std::uint32_t text;
        std::uint32_t next; ///< 1 + the next entry of the slot, 0 for none
    };
    /// Calls `visit(hash)` for `text` and each of its one-byte deletions.
    template <class Visit>
    static void ForEachVariant(std::string_view text, Visit visit);
    void Insert(std::uint64_t hash, std::uint32_t text);
    const Slot* Find(std::uint64_t hash) const;

    std::vector<std::string> _texts;
    std::vector<Slot> _slots;
    std::vector<Entry> _entries;
};

} // namespace KestCheckDetail
