#include "engine/container/KestCmdContainer.h"

#include "engine/container/KestCmdContainerIterator.h"

#include <memory>

KestCmd KestCmdContainer::s_DefaultCmd(KestCmdDefs::CMD_PLACEHOLDER);

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
    }
    return *this;
}

KestCmdContainer::~KestCmdContainer() {
    DestroyCommands();
}

void KestCmdContainer::DestroyCommands() {
    for (CmdList& list : _commands) {
        for (KestCmd* cmd : list) {
            delete cmd;
        }
        list.clear();
    }
}

KestCmd& KestCmdContainer::CreateCommand(KestCmdDefs::Cmd type) {
    auto cmd = std::make_unique<KestCmd>(type);
    _commands[type].push_back(cmd.get());
    return *cmd.release();
}

KestCmd& KestCmdContainer::_GetCommand(KestCmdDefs::Cmd type, std::size_t index) const {
    const CmdList& list = _commands[type];
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
