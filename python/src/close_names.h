// Names close to a name that names nothing, for the "did you mean" of a KeyError.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kestpy {

/// Up to `most` of `known` that are within two edits (a byte inserted, removed or replaced) of
/// `name`, the closest first, ties in alphabetical order.
std::vector<std::string> close_names(const std::string& name, std::vector<std::string> known,
                                     std::size_t most);

/// "; did you mean 'A' or 'B'?" for `names`, or nothing for none.
std::string did_you_mean(const std::vector<std::string>& names);

} // namespace kestpy
