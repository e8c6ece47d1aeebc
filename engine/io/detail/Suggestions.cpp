#include "engine/io/detail/Suggestions.h"

#include <algorithm>
#include <array>

namespace KestCheckDetail {

std::size_t edit_distance(std::string_view a, std::string_view b, std::size_t limit) {
    const std::size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    if (gap > limit) {
        return limit + 1;
    }
    // One row of the table; on the stack for the texts that "did you mean" compares.
    std::array<std::size_t, SuggestionIndex::longest + 2> small;
    std::vector<std::size_t> large;
    if (b.size() + 1 > small.size()) {
        large.resize(b.size() + 1);
    }
    std::size_t* const row = large.empty() ? small.data() : large.data();
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        std::size_t smallest = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
            smallest = std::min(smallest, row[j]);
        }
        if (smallest > limit) {
            return limit + 1;
        }
    }
    return std::min(row[b.size()], limit + 1);
}

std::string closest(std::string_view text, const std::vector<std::string>& known) {
    std::size_t best = 3;
    std::string found;
    for (const std::string& candidate : known) {
        const std::size_t d = edit_distance(text, candidate, 2);
        if (d < best && candidate != text) {
            best = d;
            found = candidate;
        }
    }
    return found;
}

namespace {

// FNV-1a over the bytes of `text` without the one at `skip` (none when past the end): the hash of
// a deletion variant is that of the text it equals, whichever text it came from.
std::uint64_t hash_without(std::string_view text, std::size_t skip) {
    std::uint64_t hash = 1469598103934665603ull;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i != skip) {
            hash = (hash ^ static_cast<unsigned char>(text[i])) * 1099511628211ull;
        }
    }
    return hash ^ (hash >> 29);
}

} // namespace

template <class Visit>
void SuggestionIndex::ForEachVariant(std::string_view text, Visit visit) {
    visit(hash_without(text, text.size()));
    for (std::size_t skip = 0; skip < text.size(); ++skip) {
        // Deleting either of two equal neighbours gives the same variant: ask once.
        if (skip == 0 || text[skip] != text[skip - 1]) {
            visit(hash_without(text, skip));
        }
    }
}

SuggestionIndex::SuggestionIndex(std::vector<std::string> texts) : _texts(std::move(texts)) {
    std::size_t variants = 0;
    for (const std::string& text : _texts) {
        variants += text.size() <= longest ? text.size() + 1 : 0;
    }
    std::size_t size = 16;
    while (size < 2 * variants) {
        size *= 2;
    }
    _slots.resize(size);
    _entries.reserve(variants);
    for (std::size_t i = 0; i < _texts.size(); ++i) {
        if (_texts[i].size() <= longest) {
            ForEachVariant(_texts[i], [&](std::uint64_t hash) {
                Insert(hash, static_cast<std::uint32_t>(i));
            });
        }
    }
}

void SuggestionIndex::Insert(std::uint64_t hash, std::uint32_t text) {
    const std::size_t mask = _slots.size() - 1;
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        Slot& slot = _slots[at];
        if (slot.head != 0 && slot.tag != tag) {
            continue;
        }
        // Texts are appended, so that a look-up meets a slot's texts in the order they were
        // indexed (a name given twice as first given).
        std::uint32_t last = slot.head;
        while (last != 0 && _entries[last - 1].next != 0) {
            last = _entries[last - 1].next;
        }
        // A text's variants may repeat one another ("aab" without either 'a'); keep it once.
        if (slot.count >= bucket_limit || (last != 0 && _entries[last - 1].text == text)) {
            return;
        }
        slot.tag = tag;
        _entries.push_back({text, 0});
        const auto added = static_cast<std::uint32_t>(_entries.size());
        (last == 0 ? slot.head : _entries[last - 1].next) = added;
        ++slot.count;
        return;
    }
}

const SuggestionIndex::Slot* SuggestionIndex::Find(std::uint64_t hash) const {
    const std::size_t mask = _slots.size() - 1;
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = _slots[at];
        if (slot.head == 0) {
            return nullptr;
        }
        if (slot.tag == tag) {
            return &slot;
        }
    }
}

std::size_t SuggestionIndex::Closest(std::string_view text) const {
    if (text.size() > longest || _texts.empty()) {
        return none;
    }
    // The slots of all variants are asked for first, so that their loads overlap.
    std::array<std::uint64_t, longest + 1> hashes;
    std::size_t variants = 0;
    ForEachVariant(text, [&](std::uint64_t hash) {
        hashes[variants++] = hash;
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(&_slots[hash & (_slots.size() - 1)]);
#endif
    });
    // One edit is as close as another text can be: the first text found one edit away ends
    // the search.
    std::size_t best = none;
    std::size_t best_distance = 3;
    for (std::size_t v = 0; v < variants && best_distance > 1; ++v) {
        const Slot* slot = Find(hashes[v]);
        for (std::uint32_t e = slot == nullptr ? 0 : slot->head; e != 0 && best_distance > 1;
             e = _entries[e - 1].next) {
            const std::uint32_t candidate = _entries[e - 1].text;
            const std::size_t d = edit_distance(text, _texts[candidate], best_distance - 1);
            if (d != 0 && d < best_distance) {
                best = candidate;
                best_distance = d;
            }
        }
    }
    return best;
}

} // namespace KestCheckDetail
