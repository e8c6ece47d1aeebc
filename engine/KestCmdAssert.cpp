#include "engine/KestCmdAssert.h"

#include <cstdio>
#include <cstdlib>

namespace KestCmdAssert {

void fail(const char* file, int line, const char* condition) noexcept {
    std::fprintf(stderr, "%s:%d: assertion failed: %s\n", file, line, condition);
    std::abort();
}

} // namespace KestCmdAssert
