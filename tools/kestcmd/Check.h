// The problems `kestcmd check` reports, with the range of text they stand on.
#pragma once

#include "Job.h"

#include <string>
#include <vector>

namespace kestcmd {

/// One problem of a job file, with the range of the keyword, key or value at fault (columns in
/// bytes, the end exclusive).
struct Diagnostic {
    std::size_t line = 0;
    std::size_t column = 0;
    std::size_t end_line = 0;
    std::size_t end_column = 0;
    std::string code;    ///< stable identifier, e.g. "unknown-keyword"
    std::string message; ///< one line, ending with "did you mean 'X'?" where that helps
    /// Where the problem has its origin, when elsewhere (the first command of a name given
    /// twice); line 0 when there is none.
    KestTextPosition related;
};

/// The problems of `job`, in the order of the text: unknown keywords and keys, lines without '=',
/// items naming no command, commands without ID_NAME, names given twice within a type.
std::vector<Diagnostic> check_job(const Job& job);

/// The Levenshtein distance between `a` and `b`, counted only up to `limit` + 1.
std::size_t edit_distance(const std::string& a, const std::string& b, std::size_t limit);

} // namespace kestcmd
