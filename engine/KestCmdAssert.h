// KEST_ASSERT: checks of preconditions that the interface leaves unchecked (an item index below
// the count of its kind, an erase range within its list, a command type or item kind within its
// enumeration). Builds made to find faults check them; release builds pay nothing.
//
// The checks are on when KEST_CMD_ENGINE_ASSERTS is 1 and off when it is 0; left undefined, it
// follows NDEBUG as assert() does (on in Debug builds). The project's sanitizer builds set it to 1
// whatever their build type. Inline functions of the public headers check as the program that
// includes them was built.
#pragma once

#include "engine/KestCmdEngineExport.h"

#ifndef KEST_CMD_ENGINE_ASSERTS
#ifdef NDEBUG
#define KEST_CMD_ENGINE_ASSERTS 0
#else
#define KEST_CMD_ENGINE_ASSERTS 1
#endif
#endif

#if KEST_CMD_ENGINE_ASSERTS
#define KEST_ASSERT(condition)                                                                     \
    ((condition) ? static_cast<void>(0) : KestCmdAssert::fail(__FILE__, __LINE__, #condition))
#else
#define KEST_ASSERT(condition) static_cast<void>(0)
#endif

namespace KestCmdAssert {

/// Writes "FILE:LINE: assertion failed: CONDITION" to standard error and aborts.
[[noreturn]] KEST_CMD_ENGINE_API void fail(const char* file, int line,
                                           const char* condition) noexcept;

} // namespace KestCmdAssert
