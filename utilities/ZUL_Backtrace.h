// Call stacks for failure reports.
#pragma once

#include "utilities/KestUtilitiesExport.h"

#include <string>
#include <vector>

namespace ZUL_Backtrace {

/// The current call stack, innermost frame first, one text line per frame. Empty on platforms
/// without a stack walker.
KEST_UTILITIES_API std::vector<std::string> GetBacktrace();

} // namespace ZUL_Backtrace
