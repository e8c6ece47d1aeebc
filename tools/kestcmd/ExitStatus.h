// The exit statuses of kestcmd, as docs/kestcmd.md lists them.
#pragma once

namespace kestcmd {

constexpr int exit_clean = 0;
/// check found problems, fmt --check found a file to change, or an address names nothing (or
/// its edit is refused).
constexpr int exit_warnings = 1;
/// A job file cannot be read (or, for fmt -i, set and unset, written back).
constexpr int exit_unreadable = 2;
constexpr int exit_output_failed = 3;
constexpr int exit_usage = 64;

} // namespace kestcmd
