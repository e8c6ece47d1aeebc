#include "engine/container/KestCmdContainer.h"
#include "engine/container/detail/NameIndex.h"
#include "utilities/detail/KestThreads.h"

#include <algorithm>
#include <array>
#include <deque>

using namespace KestCmdItemDefs;

namespace {

// Below this many commands per thread, linking takes less than starting a thread.
constexpr std::size_t commands_per_thread = 16384;

// How many places ahead the walks below read a name or an item's text, once its memory is
// loaded.
constexpr std::size_t window = 8;

// Asks the processor to start loading what `p` points to; a hint only.
inline void prefetch(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

// A command's first ID_NAME text.
struct Named {
    std::string_view name;
    std::uint64_t hash;
    const KestCmd* cmd;
};

// What the walk over a run of commands gathers: the names, and the items to link in walk order.
struct Gathered {
    std::vector<Named> names;
    /// The names that their items keep no text of.
    std::deque<std::string> made;
    std::vector<KestCmdItem*> items;
};

// The names of a job split by their hashes into shards, one per thread, so that each thread
// fills one shard: it adds the names of its shard in iteration order, so the first command of a
// name wins as in one index. Shards are chosen by high bits of the hash, slots within a shard by
// its low bits.
class ShardedIndex {
  public:
    ShardedIndex(std::size_t shards, std::size_t expected) {
        _shards.reserve(shards);
        for (std::size_t s = 0; s < shards; ++s) {
            _shards.emplace_back(expected / shards);
        }
    }
    std::size_t shard_of(std::uint64_t hash) const { return (hash >> 40) % _shards.size(); }
    NameIndex& shard(std::size_t s) { return _shards[s]; }

    bool empty() const {
        return std::all_of(_shards.begin(), _shards.end(),
                           [](const NameIndex& shard) { return shard.empty(); });
    }
    bool may_hold(std::string_view text) const {
        return std::any_of(_shards.begin(), _shards.end(),
                           [text](const NameIndex& shard) { return shard.may_hold(text); });
    }
    void prefetch(std::uint64_t hash) const { _shards[shard_of(hash)].prefetch(hash); }
    const KestCmd* find(std::string_view text, std::uint64_t hash) const {
        return _shards[shard_of(hash)].find(text, hash);
    }

  private:
    std::vector<NameIndex> _shards;
};

// Links every item of `items` whose text `by_name` holds, a few items ahead: the item `ahead`
// places on is loaded; the text of the one `window` places on is read and its slot of the index
// loaded; the current one is linked.
void link(const std::vector<KestCmdItem*>& items, const ShardedIndex& by_name) {
    constexpr std::size_t ahead = 16;
    // The texts are read in place where the item keeps one, else copied into `made`.
    std::array<std::string_view, window> texts;
    std::array<std::string, window> made;
    std::array<std::uint64_t, window> hashes{};
    std::array<bool, window> candidate{};
    const std::size_t m = items.size();
    const auto read_text = [&](std::size_t i) {
        const std::size_t w = i % window;
        if (const std::string* kept = items[i]->KeptString()) {
            texts[w] = *kept;
        } else {
            made[w] = items[i]->GetString();
            texts[w] = made[w];
        }
        candidate[w] = by_name.may_hold(texts[w]);
        if (candidate[w]) {
            hashes[w] = NameIndex::hash(texts[w]);
            by_name.prefetch(hashes[w]);
        }
    };
    for (std::size_t i = 0; i < std::min(m, ahead); ++i) {
        prefetch(items[i]);
    }
    for (std::size_t i = 0; i < std::min(m, window); ++i) {
        read_text(i);
    }
    for (std::size_t i = 0; i < m; ++i) {
        if (i + ahead < m) {
            prefetch(items[i + ahead]);
        }
        // Linking the current item changes no text, so its view stays valid; the slot it uses
        // is refilled only after the look-up.
        const std::size_t w = i % window;
        if (const KestCmd* target = candidate[w] ? by_name.find(texts[w], hashes[w]) : nullptr) {
            items[i]->AddReference(*target);
        }
        if (i + window < m) {
            read_text(i + window);
        }
    }
}

} // namespace

// Large jobs do not fit the caches, and every item sits at the end of a chain of pointers
// (command, list table, list, item). The walks below therefore load the commands and items
// they will reach a few steps later while they work on the current one.
//
// The first ID_NAME text of every command is mapped to the first command in iteration order
// that carries it. Linking never changes an ID_NAME item, so the names are fixed for the whole
// walk, and one index answers every item as a search of all commands would. The walk over the
// commands and the linking run on threads, each over a run of commands, and so does filling
// the index, each thread its shard.
void KestCmdContainer::CreateReferences() {
    std::size_t count = 0;
    for (const CmdList& list : _commands) {
        count += list.size();
    }
    std::vector<KestCmd*> commands;
    commands.reserve(count);
    for (const CmdList& list : _commands) {
        commands.insert(commands.end(), list.begin(), list.end());
    }
    const std::size_t n = commands.size();
    const std::size_t parts =
        std::clamp<std::size_t>(n / commands_per_thread, 1, KestThreads::resolve(_threads));

    std::vector<Gathered> gathered(parts);
    KestThreads::run(parts, parts, [&](std::size_t part) {
        const std::size_t begin = n * part / parts;
        const std::size_t end = n * (part + 1) / parts;
        Gathered& g = gathered[part];
        g.names.reserve(end - begin);
        g.items.reserve(4 * (end - begin));
        constexpr std::size_t step = 3;
        for (std::size_t c = begin; c < end; ++c) {
            if (c + 4 * step < end) {
                prefetch(commands[c + 4 * step]);
            }
            for (int stage = 0; stage < 3; ++stage) {
                if (c + (3 - stage) * step < end) {
                    commands[c + (3 - stage) * step]->Prefetch(stage);
                }
            }
            const KestCmd& cmd = *commands[c];
            if (cmd.HasItem(ID_NAME)) {
                const KestCmdItem& name = cmd.Item(ID_NAME, 0);
                const std::string* kept = name.KeptString();
                const std::string_view text = kept != nullptr
                                                  ? std::string_view(*kept)
                                                  : g.made.emplace_back(name.GetString());
                g.names.push_back({text, NameIndex::hash(text), &cmd});
            }
            // The lists of every kind but ID_NAME, in kind order.
            for (int kind = ID_NAME + 1; kind < item_kind_count; ++kind) {
                for (const auto& item : cmd.List(static_cast<CmdItem>(kind))) {
                    // Items are created non-const; the lists only hold them as const.
                    g.items.push_back(const_cast<KestCmdItem*>(item.get()));
                }
            }
        }
    });

    // The slot of the name `window` places on is loaded while the current one is added.
    ShardedIndex by_name(parts, n);
    KestThreads::run(parts, parts, [&](std::size_t s) {
        NameIndex& shard = by_name.shard(s);
        for (const Gathered& g : gathered) {
            for (std::size_t i = 0; i < g.names.size(); ++i) {
                if (i + window < g.names.size() &&
                    by_name.shard_of(g.names[i + window].hash) == s) {
                    shard.prefetch(g.names[i + window].hash);
                }
                const Named& named = g.names[i];
                if (by_name.shard_of(named.hash) == s) {
                    shard.add_first(named.name, named.hash, named.cmd);
                }
            }
        }
    });
    if (by_name.empty()) {
        return;
    }
    KestThreads::run(parts, parts, [&](std::size_t part) { link(gathered[part].items, by_name); });
}
