// Free helpers on commands.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/model/KestCmd.h"

#include <string>

namespace KestCmd_Util {

/// True if the first item of `item` in `cmd` has a keyword reading equal to `value`. Later items
/// of the kind are not looked at; false when there is none.
KEST_CMD_ENGINE_API bool has_command_enum_with_value(const KestCmd& cmd,
                                                     KestCmdItemDefs::CmdItem item,
                                                     KestCmdItemDefs::EnumValue value);

/// Erases every item of `item` from `cmd`, then appends one auto item typed from `text`.
KEST_CMD_ENGINE_API void replace_items(KestCmd& cmd, KestCmdItemDefs::CmdItem item,
                                       const std::string& text,
                                       const KestCmdItemDefs::EnumMap& enums);

} // namespace KestCmd_Util
