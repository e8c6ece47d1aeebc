#include "engine/container/KestCmdContainer.h"

#include "engine/container/KestCmdContainerIterator.h"

#include <algorithm>
#include <memory>
#include <new>

KestCmd KestCmdContainer::s_DefaultCmd(KestCmdDefs::CMD_PLACEHOLDER);

struct KestCmdContainer::CmdBlock {
    alignas(KestCmd) unsigned char bytes[block_size * sizeof(KestCmd)];
    std::size_t used = 0;

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
    _blocks.clear();
    for (CmdList& list : _commands) {
        list.clear();
    }
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
