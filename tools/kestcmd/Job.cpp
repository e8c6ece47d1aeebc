#include "Job.h"

namespace kestcmd {

std::unique_ptr<Job> load_job(const std::string& path, bool with_read, std::size_t threads) {
    const std::wstring wide = KestFileUtil::path_from_utf8(path);
    std::string text;
    try {
        text = KestFileUtil::read_all(wide);
    } catch (const ZUL_Failure& failure) {
        throw UnreadableJob(failure.what());
    }
    KestCmdIoConfig config;
    config.threads = threads;
    std::unique_ptr<Job> job;
    if (with_read) {
        KestCmdContainer read;
        std::vector<KestCmd*> read_blocks;
        KestParFileAdapter(wide, config).ReadText(text, read, &read_blocks);
        job = std::make_unique<Job>(path, KestParDocument(std::move(text), wide, config));
        job->read = std::move(read);
        job->read_blocks = std::move(read_blocks);
    } else {
        job = std::make_unique<Job>(path, KestParDocument(std::move(text), wide, config));
    }
    return job;
}

std::size_t Job::line_of(const KestCmd& cmd) const {
    const auto span = positions().Find(cmd);
    return span ? span->keyword.line : 0;
}

std::string name_of(const KestCmd& cmd) {
    return cmd.HasItem(KestCmdItemDefs::ID_NAME) ? cmd.Item(KestCmdItemDefs::ID_NAME, 0).GetString()
                                                 : std::string();
}

} // namespace kestcmd
