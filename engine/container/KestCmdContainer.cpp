#include "engine/container/KestCmdContainer.h"

#include "engine/container/KestCmdContainerIterator.h"

#include <memory>
#include <new>

KestCmd KestCmdContainer::s_DefaultCmd(KestCmdDefs::CMD_PLACEHOLDER);

struct KestCmdContainer::CmdBlock {
    alignas(KestCmd) unsigned char bytes[block_size * sizeof(KestCmd)];

    KestCmd* at(std::size_t i) { return reinterpret_cast<KestCmd*>(bytes + i * sizeof(KestCmd)); }
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
        _in_last_block = other._in_last_block;
        other._blocks.clear();
        other._in_last_block = 0;
    }
    return *this;
}

KestCmdContainer::~KestCmdContainer() {
    DestroyCommands();
}

void KestCmdContainer::DestroyCommands() {
    for (std::size_t b = 0; b < _blocks.size(); ++b) {
        const std::size_t used = b + 1 < _blocks.size() ? block_size : _in_last_block;
        for (std::size_t i = 0; i < used; ++i) {
            _blocks[b]->at(i)->~KestCmd();
        }
    }
    _blocks.clear();
    _in_last_block = 0;
    for (CmdList& list : _commands) {
        list.clear();
    }
}

KestCmd& KestCmdContainer::CreateCommand(KestCmdDefs::Cmd type) {
    if (_blocks.empty() || _in_last_block == block_size) {
        _blocks.push_back(std::unique_ptr<CmdBlock>(new CmdBlock));
        _in_last_block = 0;
    }
    KestCmd* place = _blocks.back()->at(_in_last_block);
    _commands[TypeIndex(type)].push_back(place);
    // Making a command allocates nothing, so it cannot fail once its place is listed.
    KestCmd* cmd = new (place) KestCmd(type);
    ++_in_last_block;
    return *cmd;
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
