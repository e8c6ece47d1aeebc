// fmt: job files laid out the way the writer lays out its blocks (format_par_text).
#pragma once

#include <string>
#include <vector>

namespace kestcmd {

/// Prints the laid-out text of the one file of `paths`; with `in_place`, rewrites every file
/// that changes instead; with `check`, changes nothing and lists the files that would change.
/// Returns the tool's exit status (1 for --check when a file would change).
int run_fmt(const std::vector<std::string>& paths, bool check, bool in_place);

} // namespace kestcmd
