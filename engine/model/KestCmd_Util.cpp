#include "engine/model/KestCmd_Util.h"

namespace KestCmd_Util {

bool has_command_enum_with_value(const KestCmd& cmd, KestCmdItemDefs::CmdItem item,
                                 KestCmdItemDefs::EnumValue value) {
    if (!cmd.HasItem(item)) {
        return false;
    }
    const KestCmdItem& first = cmd.Item(item, 0);
    return first.HasEnum() && first.GetEnum() == value;
}

void replace_items(KestCmd& cmd, KestCmdItemDefs::CmdItem item, const std::string& text,
                   const KestCmdItemDefs::EnumMap& enums) {
    cmd.Erase(item, cmd.begin(item), cmd.end(item));
    cmd.AddAutoItem(item, text, enums);
}

} // namespace KestCmd_Util
