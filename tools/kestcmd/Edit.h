// get, set and unset: one value of a job file read, changed or removed by a script. Each returns
// the tool's exit status and reports a failure in one line on standard error.
#pragma once

#include <cstddef>
#include <string>

namespace kestcmd {

/// Each reads the job on `threads` threads (0: one per core).

/// Prints the value text, as written, of the item that `address` names in the job at `path`.
int run_get(const std::string& path, const std::string& address, std::size_t threads);

/// Gives the item that `address` names the value `value`; a key the block lacks (the item one
/// past its lines of that key) gets a new line. Writes the job to `output`, or back to `path`
/// when it is empty; only the item's lines change.
int run_set(const std::string& path, const std::string& address, const std::string& value,
            const std::string& output, std::size_t threads);

/// Removes the line of the item that `address` names, writing as run_set does.
int run_unset(const std::string& path, const std::string& address, const std::string& output,
              std::size_t threads);

} // namespace kestcmd
