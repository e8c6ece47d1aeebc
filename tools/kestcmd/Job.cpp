#include "Job.h"

namespace kestcmd {

std::unique_ptr<Job> load_job(const std::string& path) {
    auto job = std::make_unique<Job>();
    job->path = path;
    const std::wstring wide = KestFileUtil::path_from_utf8(path);
    try {
        job->tokens = std::make_unique<KestParFile>(wide);
    } catch (const ZUL_Failure& failure) {
        throw UnreadableJob(failure.what());
    }
    const KestParFileAdapter reader(wide, KestCmdIoConfig());
    reader.Read(*job->tokens, job->read, &job->read_blocks);
    reader.Read(*job->tokens, job->completed, &job->completed_blocks);
    reader.Complete(job->completed);
    const auto& blocks = job->tokens->commands();
    for (std::size_t b = 0; b < job->completed_blocks.size(); ++b) {
        job->block_lines.emplace(job->completed_blocks[b], blocks[b].line);
    }
    return job;
}

std::size_t Job::LineOf(const KestCmd& cmd) const {
    const auto found = block_lines.find(&cmd);
    return found == block_lines.end() ? 0 : found->second;
}

std::string name_of(const KestCmd& cmd) {
    return cmd.HasItem(KestCmdItemDefs::ID_NAME) ? cmd.Item(KestCmdItemDefs::ID_NAME, 0).GetString()
                                                 : std::string();
}

} // namespace kestcmd
