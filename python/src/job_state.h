// What the Python objects of one job share: the job, where its commands and items stand in the
// text it was read from, and the marks that keep threads from changing it while others read it.
#pragma once

#include <KestCmdEngine.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kestpy {

struct JobState {
    KestCmdContainer job;
    KestSourceMap positions;
    /// What messages call the job: its path, or the name given to loads.
    std::string name = "<job>";
    /// The text the job was read from, while no command was added: check() checks it.
    std::string text;
    bool has_text = false;
    /// Calls that work on the job with the GIL released: how many read it (writing it out) and
    /// whether one changes it (completion). Only touched with the GIL held.
    int readers = 0;
    bool changing = false;
    /// The first command, in iteration order, of each upper-cased ID_NAME; made when first asked
    /// for, dropped when the job changes.
    std::unordered_map<std::string, const KestCmd*> by_name;
    bool by_name_made = false;
};

using JobPtr = std::shared_ptr<JobState>;

/// Marks a job as read or changed by a call that releases the GIL, for the guard's life. Throws
/// std::runtime_error when that would overlap a change, or a change would overlap any use.
class JobUse {
  public:
    enum Kind { read, change };
    JobUse(JobState& state, Kind kind);
    ~JobUse();
    JobUse(const JobUse&) = delete;
    JobUse& operator=(const JobUse&) = delete;

  private:
    JobState& _state;
    Kind _kind;
};

/// Throws std::runtime_error while another thread changes the job (for reads with the GIL held).
void check_not_changing(const JobState& state);

/// The command whose first ID_NAME is `name`, compared upper-cased as the reader compares names:
/// the first in iteration order, as references link to it; null for none.
const KestCmd* find_named(JobState& state, std::string_view name);
/// Forgets what was worked out from the job's commands, after a change.
void forget_derived(JobState& state);

/// The reader with the standard configuration, for texts without a name of their own.
const KestParFileAdapter& standard_reader();
/// A reader with the standard configuration whose messages call the text `name`.
KestParFileAdapter reader_for(const std::string& name);

/// A job read from `text`, with positions; completed when `complete` is true. Throws ParseFailure
/// (errors.h) for a text the reader refuses.
JobPtr read_job(std::string text, const std::string& name, bool complete);

/// Writes `job` to `stream` in the writer's layout; `name` is what messages call the stream.
void write_job(const KestCmdContainer& job, std::FILE* stream, const std::string& name);

/// The writer's layout of `job` as text.
std::string dump_job(const KestCmdContainer& job);

} // namespace kestpy
