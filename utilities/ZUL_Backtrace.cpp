#include "utilities/ZUL_Backtrace.h"

#if __has_include(<execinfo.h>)
#include <execinfo.h>
#define KEST_HAVE_EXECINFO 1
#endif

#include <cstdlib>

namespace ZUL_Backtrace {

std::vector<std::string> GetBacktrace() {
    std::vector<std::string> lines;
#if defined(KEST_HAVE_EXECINFO)
    constexpr int max_frames = 64;
    void* frames[max_frames];
    const int count = ::backtrace(frames, max_frames);
    char** symbols = ::backtrace_symbols(frames, count);
    if (symbols != nullptr) {
        lines.reserve(static_cast<std::size_t>(count));
        // Frame 0 is this function; the caller wants the stack from its own frame on.
        for (int i = 1; i < count; ++i) {
            lines.emplace_back(symbols[i]);
        }
        std::free(symbols);
    }
#endif
    return lines;
}

} // namespace ZUL_Backtrace
