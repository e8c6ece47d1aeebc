// A job file loaded for the tool: its tokens, the commands as read, and the completed job, with
// the command of every block in both.
#pragma once

#include <KestCmdEngine.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace kestcmd {

/// A file that could not be read; the message names the path and the reason.
class UnreadableJob : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// A job read with the standard configuration.
struct Job {
    std::string path;
    std::unique_ptr<KestParFile> tokens;
    /// The blocks as read, before reference resolution and default rules.
    KestCmdContainer read;
    std::vector<KestCmd*> read_blocks;
    /// The same blocks after completion, as the library hands a job to its callers.
    KestCmdContainer completed;
    std::vector<KestCmd*> completed_blocks;

    /// The 1-based line of the block that made `cmd` (a command of `completed`), or 0 for a
    /// command that completion created.
    std::size_t LineOf(const KestCmd& cmd) const;

    /// The line of the block of every command of `completed` made from a block.
    std::unordered_map<const KestCmd*, std::size_t> block_lines;
};

/// Loads `path`; throws UnreadableJob when the file cannot be read.
std::unique_ptr<Job> load_job(const std::string& path);

/// The first ID_NAME text of `cmd`, or the empty text.
std::string name_of(const KestCmd& cmd);

} // namespace kestcmd
