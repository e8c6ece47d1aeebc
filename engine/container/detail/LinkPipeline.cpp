#include "engine/container/detail/LinkPipeline.h"

#include "engine/container/detail/ReferenceLinking.h"
#include "engine/model/KestCmd.h"
#include "utilities/detail/KestThreads.h"

#include <algorithm>
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

// The threads to use: one per `per_thread` commands, up to `threads`.
std::size_t threads_for(std::size_t commands, std::size_t threads, std::size_t per_thread) {
    return std::clamp<std::size_t>(commands / std::max<std::size_t>(per_thread, 1), 1,
                                   KestThreads::resolve(threads));
}

} // namespace

/// Adds names to one shard of the index, each `window` names after its slot was asked for.
class LinkPipeline::NameFeed {
  public:
    explicit NameFeed(NameIndex& index) : _index(index) {}
    NameFeed(const NameFeed&) = delete;
    NameFeed& operator=(const NameFeed&) = delete;
    ~NameFeed() {
        for (std::size_t i = _count > window ? _count - window : 0; i < _count; ++i) {
            const Named& last = _ring[i % window];
            _index.add_first(last.name, last.hash, last.cmd);
        }
    }

    void push(const Named& named) {
        Named& place = _ring[_count++ % window];
        if (_count > window) {
            _index.add_first(place.name, place.hash, place.cmd);
        }
        place = named;
        _index.prefetch(named.hash);
    }

  private:
    NameIndex& _index;
    std::array<Named, window> _ring;
    std::size_t _count = 0;
};

LinkPipeline::LinkPipeline(const std::vector<KestCmd*>& commands, std::size_t threads,
                           std::size_t per_thread)
    : _commands(commands), _threads(threads_for(commands.size(), threads, per_thread)),
      _runs(_threads > 1 ? runs_per_thread * _threads : 1), _by_name(_threads, commands.size()) {}

void LinkPipeline::run() {
    const std::size_t n = _commands.size();
    const std::size_t runs = _runs.size();
    if (_threads == 1) {
        NameFeed names(_by_name.shard(0));
        gather(0, n, _runs[0], &names);
    } else {
        KestThreads::run(runs, _threads, [&](std::size_t r) {
            gather(n * r / runs, n * (r + 1) / runs, _runs[r], nullptr);
        });
        KestThreads::run(_threads, _threads, [&](std::size_t shard) { fill(shard); });
    }
    _by_name.filled();
    if (_by_name.empty()) {
        return;
    }
    KestThreads::run(runs, _threads, [&](std::size_t r) { link(_runs[r].items); });
}

void LinkPipeline::gather(std::size_t begin, std::size_t end, Run& run, NameFeed* names) const {
    if (names == nullptr) {
        run.names.reserve(end - begin);
    }
    run.items.reserve(4 * (end - begin));
    for (std::size_t c = begin; c < end; ++c) {
        if (c + 4 * command_step < end) {
            prefetch(_commands[c + 4 * command_step]);
        }
        for (int step = 0; step < 3; ++step) {
            const std::size_t ahead = c + static_cast<std::size_t>(3 - step) * command_step;
            if (ahead < end) {
                _commands[ahead]->Prefetch(step);
            }
        }
        const KestCmd& cmd = *_commands[c];
        if (cmd.HasItem(ID_NAME)) {
            const KestCmdItem& name = cmd.Item(ID_NAME, 0);
            const std::string* kept = name.KeptString();
            const std::string_view text =
                kept != nullptr ? std::string_view(*kept) : run.made.emplace_back(name.GetString());
            const Named named{text, NameIndex::hash(text), &cmd};
            if (names != nullptr) {
                names->push(named);
            } else {
                run.names.push_back(named);
            }
        }
        for (int kind = ID_NAME + 1; kind < item_kind_count; ++kind) {
            for (const auto& item : cmd.List(static_cast<CmdItem>(kind))) {
                // Items are created non-const; the lists only hold them as const.
                run.items.push_back(const_cast<KestCmdItem*>(item.get()));
            }
        }
    }
}

void LinkPipeline::fill(std::size_t shard) {
    NameFeed feed(_by_name.shard(shard));
    for (const Run& run : _runs) {
        for (const Named& named : run.names) {
            if (_by_name.shard_of(named.hash) == shard) {
                feed.push(named);
            }
        }
    }
}

void LinkPipeline::link(const std::vector<KestCmdItem*>& items) const {
    // An item's text, and whether it may be a name (then its hash).
    struct Looked {
        std::string_view text;
        std::string made; ///< the text of an item that keeps none
        bool candidate = false;
        std::uint64_t hash = 0;
    };
    std::array<Looked, window> looked;
    const auto read_text = [&](std::size_t i) {
        Looked& l = looked[i % window];
        l.text = text_of(*items[i], l.made);
        l.candidate = _by_name.may_hold(l.text);
        if (l.candidate) {
            l.hash = NameIndex::hash(l.text);
            _by_name.prefetch(l.hash);
        }
    };
    const std::size_t m = items.size();
    for (std::size_t i = 0; i < std::min(m, item_ahead); ++i) {
        prefetch(items[i]);
    }
    for (std::size_t i = 0; i < std::min(m, window); ++i) {
        read_text(i);
    }
    for (std::size_t i = 0; i < m; ++i) {
        if (i + item_ahead < m) {
            prefetch(items[i + item_ahead]);
        }
        // Linking changes no text, so the view read stays valid; its place is refilled only
        // after the look-up.
        const Looked& l = looked[i % window];
        if (const KestCmd* target = l.candidate ? _by_name.find(l.text, l.hash) : nullptr) {
            items[i]->AddReference(*target);
        }
        if (i + window < m) {
            read_text(i + window);
        }
    }
}
