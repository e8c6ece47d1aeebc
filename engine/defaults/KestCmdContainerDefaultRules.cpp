#include "engine/defaults/KestCmdContainerDefaultRules.h"

using namespace KestCmdItemDefs;

namespace KestCmdContainerDefaultRules {

void Rule_AddValueIfNotPresent(KestCmd& cmd, const KestCmdContainer&, CmdItem item,
                               const std::string& value, const EnumMap& enums) {
    if (!cmd.HasItem(item)) {
        cmd.AddAutoItem(item, value, enums);
    }
}

void Rule_AddValueIfEnumPresent(KestCmd& cmd, const KestCmdContainer&, CmdItem condItem,
                                EnumValue condValue, CmdItem item, const std::string& value,
                                const EnumMap& enums) {
    if (cmd.HasItem(condItem) && cmd.Item(condItem, 0).HasEnum() &&
        cmd.Item(condItem, 0).GetEnum() == condValue && !cmd.HasItem(item)) {
        cmd.AddAutoItem(item, value, enums);
    }
}

void Rule_AddReference(KestCmd& cmd, const KestCmdContainer& container, CmdItem item,
                       KestCmdDefs::Cmd refCmd, const std::string& idName) {
    if (cmd.HasItem(item)) {
        return;
    }
    const std::vector<const KestCmd*> named = container.Filter(refCmd, ID_NAME, idName);
    if (!named.empty()) {
        cmd.AddItem(item, *named.front());
    }
}

void Rule_AddReferenceToFirstCmd(KestCmd& cmd, const KestCmdContainer& container, CmdItem item,
                                 KestCmdDefs::Cmd refCmd) {
    if (!cmd.HasItem(item) && container.HasCommand(refCmd)) {
        cmd.AddItem(item, container.GetCommand(refCmd, 0));
    }
}

void Rule_CopyTypeToCmd(KestCmd& cmd, const KestCmdContainer& container, KestCmdDefs::Cmd srcCmd,
                        CmdItem refItem, CmdItem srcItem, CmdItem dstItem, DataType dataType,
                        const EnumMap& enums, bool replace) {
    if (!container.HasCommandWithType(srcCmd, refItem, DT_REFERENCE)) {
        return;
    }
    const KestCmd* referenced = container.GetCommand(srcCmd, 0).Item(refItem, 0).GetReference();
    // A reference flag without a target (a caller's own item class) has nothing to copy from.
    if (referenced == nullptr || !referenced->HasItem(srcItem) ||
        !referenced->Item(srcItem, 0).HasType(dataType)) {
        return;
    }
    const std::string value = referenced->Item(srcItem, 0).GetString();
    if (!cmd.HasItem(dstItem)) {
        cmd.AddAutoItem(dstItem, value, enums);
    } else if (replace && cmd.Item(dstItem, 0).GetString() != value) {
        cmd.ReplaceItem(dstItem, value, enums, 0);
    }
}

void Rule_CopyTypeToCmd(KestCmd& cmd, const KestCmdContainer& container, KestCmdDefs::Cmd srcCmd,
                        CmdItem refItem, CmdItem item, DataType dataType, const EnumMap& enums,
                        bool replace) {
    Rule_CopyTypeToCmd(cmd, container, srcCmd, refItem, item, item, dataType, enums, replace);
}

} // namespace KestCmdContainerDefaultRules
