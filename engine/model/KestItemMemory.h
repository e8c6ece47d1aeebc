// How much memory the items of all jobs hold, for programs that watch their memory use.
#pragma once

#include "engine/KestCmdEngineExport.h"

#include <cstddef>

namespace KestItemMemory {

/// The number of slabs (64 KiB each) that items take their memory from, over all threads. A
/// slab goes back to the system once every item in it is gone, whichever thread destroys it.
KEST_CMD_ENGINE_API std::size_t slabs_in_use() noexcept;

} // namespace KestItemMemory
