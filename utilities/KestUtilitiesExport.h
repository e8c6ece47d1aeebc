// Export macro of the KestUtilities shared library: symbols are hidden by default and only what
// carries KEST_UTILITIES_API is part of the library's binary interface.
#pragma once

#if defined(_WIN32) || defined(__CYGWIN__)
#if defined(KEST_UTILITIES_BUILDING)
#define KEST_UTILITIES_API __declspec(dllexport)
#else
#define KEST_UTILITIES_API __declspec(dllimport)
#endif
#else
#define KEST_UTILITIES_API __attribute__((visibility("default")))
#endif
