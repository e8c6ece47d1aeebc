// Free helpers on items.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/model/KestCmdItem.h"
#include "engine/vocabulary/KestCmdDefs.h"

namespace KestCmdItem_Util {

/// True if `it` refers to a command (not null) whose type is `type`.
KEST_CMD_ENGINE_API bool has_item_reference_of_type(const KestCmdItem& it, KestCmdDefs::Cmd type);

} // namespace KestCmdItem_Util
