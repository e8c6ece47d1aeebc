// Text helpers used when values are typed and blocks are read: joining, splitting, quotes and
// the decimal form of an integer (trimming is KestText::trim).
#pragma once

#include "utilities/KestUtilitiesExport.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace KestStringUtil {

/// Sets `out` to the parts in order, joined by `separator` (no separator before the first part).
KEST_UTILITIES_API void Concat(std::string& out, const std::vector<std::string>& parts,
                               const char* separator);

/// Removes white space (KestText::is_space) at both ends of `s`, in place, as KestText::trim
/// finds it. Returns `s`.
KEST_UTILITIES_API std::string& Trim(std::string& s);

/// True if `s` has at least two characters and starts and ends with `quote`.
KEST_UTILITIES_API bool is_quoted_str(std::string_view s, char quote);

/// Appends to `parts` the pieces of `s` between any of the characters of `delimiters` and
/// returns how many were appended. An empty `s` gives no piece; otherwise every piece counts,
/// empty ones included ("a,,b" gives three, "," gives two empty pieces). Pieces are not trimmed.
KEST_UTILITIES_API std::size_t Split(const std::string& s, const char* delimiters,
                                     std::vector<std::string>& parts);

/// The decimal text of `i` ("-12").
KEST_UTILITIES_API std::string String(int i);

} // namespace KestStringUtil
