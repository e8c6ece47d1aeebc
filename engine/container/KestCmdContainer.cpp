#include "engine/container/KestCmdContainer.h"

#include "engine/container/KestCmdContainerIterator.h"

#include "utilities/detail/KestThreads.h"

#include <algorithm>
#include <memory>
#include <new>
#include <thread>

KestCmd KestCmdContainer::s_DefaultCmd(KestCmdDefs::CMD_PLACEHOLDER);

struct KestCmdContainer::CmdBlock {
    alignas(KestCmd) unsigned char bytes[block_size * sizeof(KestCmd)];
    std::size_t used = 0;
    /// The thread that made the block, and so most of its commands' memory.
    std::thread::id maker = std::this_thread::get_id();

    KestCmd* at(std::size_t i) { return reinterpret_cast<KestCmd*>(bytes + i * sizeof(KestCmd)); }
    ~CmdBlock() {
        for (std::size_t i = 0; i < used; ++i) {
            at(i)->~KestCmd();
        }
    }
};

KestCmdContainer::KestCmdContainer() = default;

KestCmdContainer::KestCmdContainer(KestCmdContainer&& other) noexcept {
    *this = std::move(other);
}

KestCmdContainer& KestCmdContainer::operator=(KestCmdContainer&& other) noexcept {
    if (this != &other) {
        DestroyCommands();
        for (std::size_t t = 0; t < _commands.size(); ++t) {
            _commands[t] = std::move(other._commands[t]);
            other._commands[t].clear();
        }
        _blocks = std::move(other._blocks);
        other._blocks.clear();
    }
    return *this;
}

KestCmdContainer::~KestCmdContainer() {
    DestroyCommands();
}

void KestCmdContainer::DestroyCommands() noexcept {
    DestroyBlocksByMaker();
    _blocks.clear();
    for (CmdList& list : _commands) {
        list.clear();
    }
}

void KestCmdContainer::DestroyBlocksByMaker() noexcept {
    if (_blocks.size() < threaded_destruction_from) {
        return;
    }
    std::vector<std::thread::id> makers;
    std::vector<std::size_t> maker_of;
    try {
        maker_of.resize(_blocks.size());
        for (std::size_t b = 0; b < _blocks.size(); ++b) {
            const auto found = std::find(makers.begin(), makers.end(), _blocks[b]->maker);
            maker_of[b] = static_cast<std::size_t>(found - makers.begin());
            if (found == makers.end()) {
                makers.push_back(_blocks[b]->maker);
            }
        }
    } catch (const std::bad_alloc&) {
        return; // destroyed on this thread
    }
    if (makers.size() < 2) {
        return;
    }
    // Each thread frees the memory that one thread took, so that no two free into the same heap
    // arena at once (freeing into one arena from two threads is slower than from one). Nothing
    // throws here: without threads, the calling thread destroys every block.
    KestThreads::run(makers.size(), KestThreads::resolve(0), [&](std::size_t m) noexcept {
        for (std::size_t b = 0; b < _blocks.size(); ++b) {
            if (maker_of[b] == m) {
                _blocks[b].reset();
            }
        }
    });
}

KestCmd& KestCmdContainer::CreateCommand(KestCmdDefs::Cmd type) {
    if (_blocks.empty() || _blocks.back()->used == block_size) {
        _blocks.push_back(std::unique_ptr<CmdBlock>(new CmdBlock));
    }
    CmdBlock& block = *_blocks.back();
    KestCmd* place = block.at(block.used);
    _commands[TypeIndex(type)].push_back(place);
    // Making a command allocates nothing, so it cannot fail once its place is listed.
    KestCmd* cmd = new (place) KestCmd(type);
    ++block.used;
    return *cmd;
}

void KestCmdContainer::Append(KestCmdContainer&& other) {
    if (&other == this) {
        return;
    }
    // Room first, growing as appending one by one would, so that nothing below allocates.
    const auto make_room = [](auto& list, std::size_t added) {
        if (list.capacity() < list.size() + added) {
            list.reserve(std::max(list.size() + added, 2 * list.capacity()));
        }
    };
    make_room(_blocks, other._blocks.size());
    for (std::size_t t = 0; t < _commands.size(); ++t) {
        make_room(_commands[t], other._commands[t].size());
    }
    for (std::size_t t = 0; t < _commands.size(); ++t) {
        _commands[t].insert(_commands[t].end(), other._commands[t].begin(),
                            other._commands[t].end());
        other._commands[t].clear();
    }
    for (auto& block : other._blocks) {
        _blocks.push_back(std::move(block));
    }
    other._blocks.clear();
}

KestCmd& KestCmdContainer::_GetCommand(KestCmdDefs::Cmd type, std::size_t index) const {
    const CmdList& list = _commands[TypeIndex(type)];
    if (index < list.size()) {
        return *list[index];
    }
    return list.empty() ? s_DefaultCmd : *list.front();
}

KestCmdContainerIterator KestCmdContainer::begin() const {
    return KestCmdContainerIterator(*this);
}

KestCmdContainerIterator KestCmdContainer::end() const {
    KestCmdContainerIterator it(*this);
    it.end();
    return it;
}
