#include "engine/container/KestCmdContainer.h"
#include "engine/container/detail/NameIndex.h"

#include <array>

using namespace KestCmdItemDefs;

namespace {

// Asks the processor to start loading what `p` points to; a hint only.
inline void prefetch(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

} // namespace

// Large jobs do not fit the caches, and every item sits at the end of a chain of pointers
// (command, list table, list, item). The walks below therefore load the commands and items
// they will reach a few steps later while they work on the current one.
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

    // The first ID_NAME text of every command, mapped to the first command in iteration order
    // that carries it. Linking never changes an ID_NAME item, so the names are fixed for the
    // whole walk, and one index answers every item as a search of all commands would. The
    // items to link are collected in walk order on the way.
    NameIndex by_name(commands.size());
    // Names join the index `window` commands after they are read, once their slot is loaded.
    constexpr std::size_t window = 8;
    struct Named {
        std::string name;
        std::uint64_t hash = 0;
        const KestCmd* cmd = nullptr;
    };
    std::array<Named, window> pending;
    std::size_t pending_count = 0;
    std::vector<KestCmdItem*> items;
    items.reserve(4 * commands.size());
    constexpr std::size_t step = 3;
    const std::size_t n = commands.size();
    for (std::size_t c = 0; c < n; ++c) {
        if (c + 4 * step < n) {
            prefetch(commands[c + 4 * step]);
        }
        for (int stage = 0; stage < 3; ++stage) {
            if (c + (3 - stage) * step < n) {
                commands[c + (3 - stage) * step]->Prefetch(stage);
            }
        }
        KestCmd& cmd = *commands[c];
        if (cmd.HasItem(ID_NAME)) {
            Named& next = pending[pending_count++ % window];
            if (pending_count > window) {
                by_name.add_first(next.name, next.hash, next.cmd);
            }
            const KestCmdItem& name = cmd.Item(ID_NAME, 0);
            const std::string* kept = name.KeptString();
            next.name = kept != nullptr ? *kept : name.GetString();
            next.hash = NameIndex::hash(next.name);
            next.cmd = &cmd;
            by_name.prefetch(next.hash);
        }
        // The lists of every kind but ID_NAME, in kind order.
        for (int kind = ID_NAME + 1; kind < item_kind_count; ++kind) {
            for (const auto& item : cmd.List(static_cast<CmdItem>(kind))) {
                // Items are created non-const; the lists only hold them as const.
                items.push_back(const_cast<KestCmdItem*>(item.get()));
            }
        }
    }
    for (std::size_t i = pending_count > window ? pending_count - window : 0; i < pending_count;
         ++i) {
        const Named& last = pending[i % window];
        by_name.add_first(last.name, last.hash, last.cmd);
    }
    if (by_name.empty()) {
        return;
    }

    // Link every item in walk order, a few items ahead: the item `ahead` places on is loaded;
    // the text of the one `window` places on is read and its slot of the index loaded; the
    // current one is linked.
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
