// A plain C entry that tells a loader this is the command engine library.
#pragma once

#include "engine/KestCmdEngineExport.h"

/// Always returns 1.
extern "C" KEST_CMD_ENGINE_API int HALDEN_WORKS_BRX4_INTERNAL_KestCmdEngine();
