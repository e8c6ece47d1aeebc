// Free helpers on containers.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/container/KestCmdContainer.h"

namespace KestCmdContainer_Util {

/// True if any command of `type` has, in its first item of kind `item`, a keyword reading equal
/// to `value`.
KEST_CMD_ENGINE_API bool has_container_enum_with_value(const KestCmdContainer& container,
                                                       KestCmdDefs::Cmd type,
                                                       KestCmdItemDefs::CmdItem item,
                                                       KestCmdItemDefs::EnumValue value);

} // namespace KestCmdContainer_Util
