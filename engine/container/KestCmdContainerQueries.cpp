#include "engine/container/KestCmdContainer.h"

using namespace KestCmdItemDefs;

namespace {

template <class Ptr, class List>
std::vector<Ptr> filter(const List& list, CmdItem item, const std::string& value) {
    std::vector<Ptr> kept;
    for (KestCmd* cmd : list) {
        if (cmd != nullptr && cmd->HasItem(item) && cmd->Item(item, 0).GetString() == value) {
            kept.push_back(cmd);
        }
    }
    return kept;
}

} // namespace

std::vector<KestCmd*> KestCmdContainer::Filter(KestCmdDefs::Cmd type, CmdItem item,
                                               const std::string& value) {
    return filter<KestCmd*>(_commands[type], item, value);
}

std::vector<const KestCmd*> KestCmdContainer::Filter(KestCmdDefs::Cmd type, CmdItem item,
                                                     const std::string& value) const {
    return filter<const KestCmd*>(_commands[type], item, value);
}

bool KestCmdContainer::HasCommandWithType(KestCmdDefs::Cmd type, CmdItem item,
                                          DataType dataType) const {
    if (!HasCommand(type)) {
        return false;
    }
    const KestCmd& first = *_commands[type].front();
    return first.HasItem(item) && first.Item(item, 0).HasType(dataType);
}

bool KestCmdContainer::HasCommandWithReference(KestCmdDefs::Cmd type, CmdItem item) const {
    return HasCommandWithType(type, item, DT_REFERENCE);
}
