// "Did you mean": the known word closest to a mistyped one.
#pragma once

#include <string>
#include <vector>

namespace kestcmd {

/// The word of `known` closest to `typed` within two edits (letters inserted, removed or
/// replaced; the first of equally close ones), or the empty text when none is that close.
std::string closest_word(const std::string& typed, const std::vector<std::string>& known);

} // namespace kestcmd
