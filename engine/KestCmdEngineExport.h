// Export macro of the KestCmdEngine shared library: symbols are hidden by default and only what
// carries KEST_CMD_ENGINE_API is part of the library's binary interface.
#pragma once

#if defined(_WIN32) || defined(__CYGWIN__)
#if defined(KEST_CMD_ENGINE_BUILDING)
#define KEST_CMD_ENGINE_API __declspec(dllexport)
#else
#define KEST_CMD_ENGINE_API __declspec(dllimport)
#endif
#else
#define KEST_CMD_ENGINE_API __attribute__((visibility("default")))
#endif
