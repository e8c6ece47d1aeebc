#include "engine/container/detail/LinkPipeline.h"

#include "engine/container/detail/ReferenceLinking.h"
#include "engine/model/KestCmd.h"

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

LinkPipeline::LinkPipeline(const std::vector<KestCmd*>& commands)
    : _commands(commands), _by_name(commands.size()) {}

void LinkPipeline::run() {
    index_names();
    link_items();
}

void LinkPipeline::index_names() {
    _items.reserve(4 * _commands.size());
    std::size_t named = 0;
    std::string scratch;
    const std::size_t n = _commands.size();
    for (std::size_t c = 0; c < n; ++c) {
        if (c + 4 * command_step < n) {
            prefetch(_commands[c + 4 * command_step]);
        }
        for (int step = 0; step < 3; ++step) {
            const std::size_t ahead = c + static_cast<std::size_t>(3 - step) * command_step;
            if (ahead < n) {
                _commands[ahead]->Prefetch(step);
            }
        }
        KestCmd& cmd = *_commands[c];
        if (cmd.HasItem(ID_NAME)) {
            Named& next = _pending[named++ % window];
            if (named > window) {
                _by_name.add_first(next.name, next.hash, next.cmd);
            }
            next.name = text_of(cmd.Item(ID_NAME, 0), scratch);
            next.hash = NameIndex::hash(next.name);
            next.cmd = &cmd;
            _by_name.prefetch(next.hash);
        }
        for (int kind = ID_NAME + 1; kind < item_kind_count; ++kind) {
            for (const auto& item : cmd.List(static_cast<CmdItem>(kind))) {
                // Items are created non-const; the lists only hold them as const.
                _items.push_back(const_cast<KestCmdItem*>(item.get()));
            }
        }
    }
    for (std::size_t i = named > window ? named - window : 0; i < named; ++i) {
        const Named& last = _pending[i % window];
        _by_name.add_first(last.name, last.hash, last.cmd);
    }
}

void LinkPipeline::read_text(std::size_t i) {
    Looked& looked = _looked[i % window];
    looked.text = text_of(*_items[i], looked.made);
    looked.candidate = _by_name.may_hold(looked.text);
    if (looked.candidate) {
        looked.hash = NameIndex::hash(looked.text);
        _by_name.prefetch(looked.hash);
    }
}

void LinkPipeline::link_items() {
    const std::size_t m = _items.size();
    for (std::size_t i = 0; i < std::min(m, item_ahead); ++i) {
        prefetch(_items[i]);
    }
    for (std::size_t i = 0; i < std::min(m, window); ++i) {
        read_text(i);
    }
    for (std::size_t i = 0; i < m; ++i) {
        if (i + item_ahead < m) {
            prefetch(_items[i + item_ahead]);
        }
        // Linking changes no text, so the view read stays valid; its place is refilled only
        // after the look-up.
        const Looked& looked = _looked[i % window];
        if (const KestCmd* target =
                looked.candidate ? _by_name.find(looked.text, looked.hash) : nullptr) {
            _items[i]->AddReference(*target);
        }
        if (i + window < m) {
            read_text(i + window);
        }
    }
}
