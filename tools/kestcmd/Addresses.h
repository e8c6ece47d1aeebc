// What a shell completes on the command line of get, set and unset: the addresses of a job's
// values (the hidden subcommand complete-address).
#pragma once

#include "Job.h"

#include <string>
#include <vector>

namespace kestcmd {

/// The addresses that take `prefix` one step further, in the order of the text. While `prefix`
/// holds no whole command yet: the commands read from the text, each as `ID_NAME.` (when it has
/// one) and as `TYPE[N].`. After a command and its dot: that command's keys as its lines give
/// them, `COMMAND.KEY` and, for a key's later lines, `COMMAND.KEY[N]`. Letters compare in any
/// case, as addresses do.
std::vector<std::string> complete_address(const Job& job, const std::string& prefix);

} // namespace kestcmd
