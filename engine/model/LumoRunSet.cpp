#include "engine/model/LumoRunSet.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

using Run = LumoRunSet::Run;
constexpr std::int64_t below_all = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t above_all = std::numeric_limits<std::int64_t>::max();

Run single(std::int64_t value) {
    return Run{value, 1, 1};
}

// The values of `r` within [lo, hi].
Run clip(const Run& r, std::int64_t lo, std::int64_t hi) {
    if (r.empty() || r.last() < lo || r.first > hi) {
        return Run{};
    }
    const std::int64_t k0 = lo <= r.first ? 0 : (lo - r.first + r.stride - 1) / r.stride;
    const std::int64_t k1 = hi >= r.last() ? r.count - 1 : (hi - r.first) / r.stride;
    if (k0 > k1) {
        return Run{};
    }
    return k0 == k1 ? single(r.first + k0 * r.stride)
                    : Run{r.first + k0 * r.stride, r.stride, k1 - k0 + 1};
}

bool holds(const Run& r, std::int64_t value) {
    return value >= r.first && value <= r.last() && (value - r.first) % r.stride == 0;
}

// True if every value of `sub` is a value of `sup`.
bool covers(const Run& sup, const Run& sub) {
    if (sub.count == 1) {
        return holds(sup, sub.first);
    }
    return sub.stride % sup.stride == 0 && holds(sup, sub.first) && sub.last() <= sup.last();
}

// Adds a run that cannot merge with the one before it, within the limit of runs.
void push(std::vector<Run>& out, const Run& p) {
    if (out.size() >= LumoRunSet::max_runs) {
        throw std::length_error("LumoList: the values need more than " +
                                std::to_string(LumoRunSet::max_runs) + " runs");
    }
    out.push_back(p);
}

// Appends `p`, whose values all lie above those of `out`, merging it into the last run when the
// stride continues.
void append(std::vector<Run>& out, const Run& p) {
    if (p.empty()) {
        return;
    }
    if (out.empty()) {
        out.push_back(p);
        return;
    }
    Run& b = out.back();
    const std::int64_t gap = p.first - b.last();
    if (b.count == 1 && (p.count == 1 || p.stride == gap)) {
        b = Run{b.first, gap, p.count + 1};
    } else if (b.count >= 2 && b.stride == gap && (p.count == 1 || p.stride == gap)) {
        b.count += p.count;
    } else {
        push(out, p);
    }
}

// Appends the values of a and b that lie in the same window, both non-empty, one by one. Only
// reached for two runs that interleave without forming a run together.
void append_interleaved(std::vector<Run>& out, const Run& a, const Run& b) {
    std::int64_t i = 0;
    std::int64_t j = 0;
    while (i < a.count || j < b.count) {
        const std::int64_t va = i < a.count ? a.first + i * a.stride : above_all;
        const std::int64_t vb = j < b.count ? b.first + j * b.stride : above_all;
        const std::int64_t v = std::min(va, vb);
        i += va == v;
        j += vb == v;
        append(out, single(v));
    }
}

// Appends the union of a and b (either may be empty) in ascending order.
void append_union(std::vector<Run>& out, const Run& a, const Run& b) {
    if (a.empty() || b.empty()) {
        append(out, a.empty() ? b : a);
        return;
    }
    const std::int64_t lo = std::max(a.first, b.first);
    const std::int64_t hi = std::min(a.last(), b.last());
    if (lo > hi) {
        append(out, a.first < b.first ? a : b);
        append(out, a.first < b.first ? b : a);
        return;
    }
    append(out, clip(a.first < b.first ? a : b, below_all, lo - 1));
    const Run ca = clip(a, lo, hi);
    const Run cb = clip(b, lo, hi);
    if (ca.empty() || cb.empty() || covers(ca, cb) || covers(cb, ca)) {
        append(out, ca.empty() || (!cb.empty() && covers(cb, ca)) ? cb : ca);
    } else if (ca.stride == cb.stride && ca.stride % 2 == 0) {
        // Two runs offset by half their stride may form one run of half the stride.
        const std::int64_t first = std::min(ca.first, cb.first);
        const std::int64_t half = ca.stride / 2;
        const Run joined{first, half, (std::max(ca.last(), cb.last()) - first) / half + 1};
        if (std::abs(ca.first - cb.first) % ca.stride == half &&
            joined.count == ca.count + cb.count) {
            append(out, joined);
        } else {
            append_interleaved(out, ca, cb);
        }
    } else {
        append_interleaved(out, ca, cb);
    }
    append(out, clip(a.last() > b.last() ? a : b, hi + 1, above_all));
}

// Appends the union of `p` and the runs [first, last), which are disjoint and ascending and
// whose values lie above those of `out`, as are those of `p`.
template <class It>
void append_merged(std::vector<Run>& out, Run p, It first, It last) {
    for (It r = first; r != last; ++r) {
        if (p.empty() || p.first > r->last()) {
            append(out, *r);
        } else if (p.last() < r->first) {
            append(out, p);
            p = Run{};
            append(out, *r);
        } else {
            append_union(out, clip(p, below_all, r->last()), *r);
            p = r->last() == above_all ? Run{} : clip(p, r->last() + 1, above_all);
        }
    }
    append(out, p);
}

template <class It>
std::uint64_t count_values(It first, It last) {
    std::uint64_t n = 0;
    for (; first != last; ++first) {
        n += static_cast<std::uint64_t>(first->count);
    }
    return n;
}

// Adds the values of `run` to the disjoint ascending `runs`. Only the runs whose span meets that
// of `run` change, together with their two neighbours, which may merge with what is inserted;
// the rest stay where they are. Returns the change in the number of values.
std::int64_t splice(std::vector<Run>& runs, const Run& run) {
    if (runs.empty() || runs.back().last() < run.first) {
        append(runs, run); // above every value held: nothing to merge but the last run
        return run.count;
    }
    const auto meet_begin = std::partition_point(
        runs.begin(), runs.end(), [&](const Run& r) { return r.last() < run.first; });
    const auto meet_end = std::partition_point(meet_begin, runs.end(),
                                               [&](const Run& r) { return r.first <= run.last(); });
    const auto from = meet_begin == runs.begin() ? meet_begin : meet_begin - 1;
    const auto to = meet_end == runs.end() ? meet_end : meet_end + 1;

    std::vector<Run> merged;
    for (auto r = from; r != meet_begin; ++r) {
        append(merged, *r);
    }
    append_merged(merged, run, meet_begin, meet_end);
    for (auto r = meet_end; r != to; ++r) {
        append(merged, *r);
    }
    const auto change = static_cast<std::int64_t>(count_values(merged.begin(), merged.end()) -
                                                  count_values(from, to));
    if (runs.size() - static_cast<std::size_t>(to - from) + merged.size() > LumoRunSet::max_runs) {
        throw std::length_error("LumoList: the values need more than " +
                                std::to_string(LumoRunSet::max_runs) + " runs");
    }
    const auto at = runs.erase(from, to);
    runs.insert(at, merged.begin(), merged.end());
    return change;
}

} // namespace

bool LumoRunSet::contains(std::int64_t value) const {
    auto after = std::upper_bound(_runs.begin(), _runs.end(), value,
                                  [](std::int64_t v, const Run& r) { return v < r.first; });
    return after != _runs.begin() && holds(*(after - 1), value);
}

void LumoRunSet::clear() {
    _runs.clear();
    _size = 0;
}

void LumoRunSet::insert(const Run& run) {
    _size = static_cast<std::uint64_t>(static_cast<std::int64_t>(_size) + splice(_runs, run));
}

void LumoRunSet::insert_all(std::vector<Run> runs) {
    if (runs.empty()) {
        return;
    }
    std::stable_sort(runs.begin(), runs.end(),
                     [](const Run& a, const Run& b) { return a.first < b.first; });
    // A sweep in the order of the runs' first values. `done` holds what lies below the current
    // run and can change no more; `ahead` holds the rest, smallest last, so that a run only
    // takes out what it overlaps and every run held is moved a bounded number of times.
    std::vector<Run> done;
    std::vector<Run> ahead(_runs.rbegin(), _runs.rend());
    std::vector<Run> window;
    std::vector<Run> merged;
    for (const Run& run : runs) {
        while (!ahead.empty() && ahead.back().last() < run.first) {
            append(done, ahead.back());
            ahead.pop_back();
        }
        window.clear();
        while (!ahead.empty() && ahead.back().first <= run.last()) {
            window.push_back(ahead.back());
            ahead.pop_back();
        }
        merged.clear();
        append_merged(merged, run, window.begin(), window.end());
        if (done.size() + ahead.size() + merged.size() > max_runs) {
            throw std::length_error("LumoList: the values need more than " +
                                    std::to_string(max_runs) + " runs");
        }
        ahead.insert(ahead.end(), merged.rbegin(), merged.rend());
    }
    while (!ahead.empty()) {
        append(done, ahead.back());
        ahead.pop_back();
    }
    _runs = std::move(done);
    _size = count_values(_runs.begin(), _runs.end());
}
