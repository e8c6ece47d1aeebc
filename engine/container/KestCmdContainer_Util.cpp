#include "engine/container/KestCmdContainer_Util.h"

#include "engine/model/KestCmd_Util.h"

namespace KestCmdContainer_Util {

bool has_container_enum_with_value(const KestCmdContainer& container, KestCmdDefs::Cmd type,
                                   KestCmdItemDefs::CmdItem item,
                                   KestCmdItemDefs::EnumValue value) {
    for (auto it = container.GetCommandBegin(type); it != container.GetCommandEnd(type); ++it) {
        if (*it != nullptr && KestCmd_Util::has_command_enum_with_value(**it, item, value)) {
            return true;
        }
    }
    return false;
}

} // namespace KestCmdContainer_Util
