// A job file loaded for the tool: its text, the completed job with where each command and item
// stands, and, when asked for, the commands as read before completion.
#pragma once

#include <KestCmdEngine.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestcmd {

/// A file that could not be read; the message names the path and the reason.
class UnreadableJob : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// A job read with the standard configuration, its text read once.
struct Job {
    std::string path;
    std::string text;
    /// The blocks after completion, as the library hands a job to its callers, and where each
    /// command and item read from the text stands.
    KestCmdContainer completed;
    KestSourceMap positions;
    /// The blocks as read, before reference resolution and default rules (only when loaded with
    /// `with_read`): read_blocks[i] is the command of the block of positions.Command(i).
    KestCmdContainer read;
    std::vector<KestCmd*> read_blocks;

    /// The 1-based line of the block that made `cmd` (a command of `completed`), or 0 for a
    /// command that completion created.
    std::size_t LineOf(const KestCmd& cmd) const;
    /// The bytes of the text from `from` to `to` (exclusive); the lines of a value continued over
    /// several lines come joined by line feeds, as the reader joins them.
    std::string Slice(KestTextPosition from, KestTextPosition to) const;
    /// The physical line `line` (1-based), without its line end.
    std::string_view Line(std::size_t line) const;

  private:
    /// Where the last line asked for starts: lines are mostly asked for in text order, so each
    /// is found from the one before.
    mutable std::size_t _line = 1;
    mutable std::size_t _line_start = 0;
};

/// Loads `path`, and with `with_read` also the commands as read before completion; throws
/// UnreadableJob when the file cannot be read.
std::unique_ptr<Job> load_job(const std::string& path, bool with_read = false);

/// The first ID_NAME text of `cmd`, or the empty text.
std::string name_of(const KestCmd& cmd);

} // namespace kestcmd
