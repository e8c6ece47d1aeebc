#include "engine/container/detail/LinkPipeline.h"

#include "engine/container/detail/ReferenceLinking.h"
#include "engine/model/KestCmd.h"

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

} // namespace

/// Adds names to the index, each `window` names after its slot was asked for.
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

LinkPipeline::LinkPipeline(const std::vector<KestCmd*>& commands, std::size_t batch)
    : _commands(commands), _batch(std::max<std::size_t>(batch, 1)), _by_name(commands.size()) {}

void LinkPipeline::run() {
    add_names();
    if (_by_name.empty()) {
        return;
    }
    std::vector<KestCmdItem*> items;
    for (std::size_t begin = 0; begin < _commands.size(); begin += _batch) {
        items.clear();
        gather(begin, std::min(begin + _batch, _commands.size()), items);
        link(items);
    }
}

void LinkPipeline::load_ahead(std::size_t c, std::size_t end) const {
    if (c + 4 * command_step < end) {
        prefetch(_commands[c + 4 * command_step]);
    }
    for (int step = 0; step < 3; ++step) {
        const std::size_t ahead = c + static_cast<std::size_t>(3 - step) * command_step;
        if (ahead < end) {
            _commands[ahead]->Prefetch(step);
        }
    }
}

void LinkPipeline::add_names() {
    NameFeed names(_by_name);
    const std::size_t n = _commands.size();
    for (std::size_t c = 0; c < n; ++c) {
        load_ahead(c, n);
        const KestCmd& cmd = *_commands[c];
        if (cmd.HasItem(ID_NAME)) {
            const KestCmdItem& name = cmd.Item(ID_NAME, 0);
            const std::optional<std::string_view> kept = name.KeptText();
            const std::string_view text = kept ? *kept : _made.emplace_back(name.GetString());
            names.push({text, NameIndex::hash(text), &cmd});
        }
    }
}

void LinkPipeline::gather(std::size_t begin, std::size_t end,
                          std::vector<KestCmdItem*>& items) const {
    for (std::size_t c = begin; c < end; ++c) {
        load_ahead(c, _commands.size()); // the next batch's first commands too
        KestCmd::ForEachList(*_commands[c], [&](CmdItem kind, const KestCmd::ItemList& list) {
            if (kind != ID_NAME) {
                for (const auto& item : list) {
                    // Items are created non-const; the lists only hold them as const.
                    items.push_back(const_cast<KestCmdItem*>(item.get()));
                }
            }
        });
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
