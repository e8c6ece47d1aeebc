// The storage of integer lists: an ordered set of distinct integers kept as ascending arithmetic
// runs, so that a range of any length costs one entry and reading a list costs time and memory in
// proportion to its text.
#pragma once

#include "engine/KestCmdEngineExport.h"

#include <cstddef>
#include <cstdint>
#include <vector>

/// An ordered set of distinct integers stored as disjoint ascending runs first, first+stride, ...
///
/// Ranges with steps that interleave without forming a run together ("1-99:3,2-99:3") are kept
/// value by value where they overlap. A set that would need more than `max_runs` runs (billions
/// of such values) throws std::length_error rather than exhaust memory.
class KEST_CMD_ENGINE_API LumoRunSet {
  public:
    static constexpr std::size_t max_runs = std::size_t{1} << 22;

    /// The values first + k * stride for k in [0, count). Runs of one value have stride 1.
    struct Run {
        std::int64_t first = 0;
        std::int64_t stride = 1;
        std::int64_t count = 0;

        std::int64_t last() const { return first + stride * (count - 1); }
        bool empty() const { return count == 0; }
    };

    /// The runs in ascending order; the last value of each is below the first of the next.
    const std::vector<Run>& runs() const { return _runs; }
    /// The number of values.
    std::uint64_t size() const { return _size; }
    bool empty() const { return _size == 0; }
    bool contains(std::int64_t value) const;

    void clear();
    /// Adds the values of `run` (stride >= 1, count >= 1).
    void insert(const Run& run);
    /// Adds the values of all `runs`, in any order and overlapping in any way. Cheaper than one
    /// insert per run when there are many.
    void insert_all(std::vector<Run> runs);

  private:
    std::vector<Run> _runs;
    std::uint64_t _size = 0;
};
