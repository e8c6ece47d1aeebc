// A job file loaded for the tool: its text and the completed job with where each command and
// item stands (a document), and, when asked for, the commands as read before completion.
#pragma once

#include <KestCmdEngine.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestcmd {

/// A file that could not be read; the message names the path and the reason.
class UnreadableJob : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// A job read with the standard configuration, its text read once.
struct Job {
    Job(std::string path, KestParDocument document)
        : path(std::move(path)), document(std::move(document)) {}

    std::string path;
    KestParDocument document;
    /// The blocks as read, before reference resolution and default rules (only when loaded with
    /// `with_read`): read_blocks[i] is the command of the block of the document's i-th command.
    KestCmdContainer read;
    std::vector<KestCmd*> read_blocks;

    const KestCmdContainer& completed() const { return document.Job(); }
    const KestSourceMap& positions() const { return document.Positions(); }
    /// The 1-based line of the block that made `cmd` (a command of `completed`), or 0 for a
    /// command that completion created.
    std::size_t line_of(const KestCmd& cmd) const;
};

/// Loads `path` on `threads` threads (0: one per core), and with `with_read` also the commands as
/// read before completion; throws UnreadableJob when the file cannot be read.
std::unique_ptr<Job> load_job(const std::string& path, bool with_read = false,
                              std::size_t threads = 0);

/// The first ID_NAME text of `cmd`, or the empty text.
std::string name_of(const KestCmd& cmd);

} // namespace kestcmd
