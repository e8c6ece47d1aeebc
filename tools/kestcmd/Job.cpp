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
    return job;
}

std::size_t Job::LineOf(const KestCmd& cmd) const {
    const auto& blocks = tokens->commands();
    for (std::size_t i = 0; i < completed_blocks.size(); ++i) {
        if (completed_blocks[i] == &cmd) {
            return blocks[i].line;
        }
    }
    return 0;
}

std::string name_of(const KestCmd& cmd) {
    return cmd.HasItem(KestCmdItemDefs::ID_NAME) ? cmd.Item(KestCmdItemDefs::ID_NAME, 0).GetString()
                                                 : std::string();
}

} // namespace kestcmd
