#include "Job.h"

namespace kestcmd {

std::unique_ptr<Job> load_job(const std::string& path, bool with_read) {
    auto job = std::make_unique<Job>();
    job->path = path;
    const std::wstring wide = KestFileUtil::path_from_utf8(path);
    try {
        job->text = KestFileUtil::read_all(wide);
    } catch (const ZUL_Failure& failure) {
        throw UnreadableJob(failure.what());
    }
    const KestParFileAdapter reader(wide, KestCmdIoConfig());
    if (with_read) {
        reader.ReadText(job->text, job->read, &job->read_blocks);
    }
    reader.ParseText(job->text, job->completed, &job->positions);
    return job;
}

std::size_t Job::LineOf(const KestCmd& cmd) const {
    const auto span = positions.Find(cmd);
    return span ? span->keyword.line : 0;
}

std::string_view Job::Line(std::size_t line) const {
    const std::string_view all = text;
    const std::size_t bom = all.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (line < _line) {
        _line = 1;
        _line_start = bom;
    }
    _line_start = std::max(_line_start, bom);
    for (; _line < line && _line_start < all.size(); ++_line) {
        const std::size_t end = all.find('\n', _line_start);
        _line_start = end == std::string_view::npos ? all.size() : end + 1;
    }
    if (_line != line || _line_start >= all.size()) {
        return {};
    }
    const std::size_t end = all.find('\n', _line_start);
    std::string_view found = all.substr(
        _line_start, end == std::string_view::npos ? std::string_view::npos : end - _line_start);
    if (end != std::string_view::npos && !found.empty() && found.back() == '\r') {
        found.remove_suffix(1);
    }
    return found;
}

std::string Job::Slice(KestTextPosition from, KestTextPosition to) const {
    std::string out;
    for (std::size_t l = from.line; l <= to.line; ++l) {
        const std::string_view line = Line(l);
        const std::size_t begin = l == from.line ? std::min(from.column - 1, line.size()) : 0;
        const std::size_t end = l == to.line ? std::min(to.column - 1, line.size()) : line.size();
        std::string_view part = line.substr(begin, end > begin ? end - begin : 0);
        while (l != to.line && !part.empty() && (part.back() == ' ' || part.back() == '\t')) {
            part.remove_suffix(1);
        }
        out += part;
        if (l != to.line) {
            out += '\n';
        }
    }
    return out;
}

std::string name_of(const KestCmd& cmd) {
    return cmd.HasItem(KestCmdItemDefs::ID_NAME) ? cmd.Item(KestCmdItemDefs::ID_NAME, 0).GetString()
                                                 : std::string();
}

} // namespace kestcmd
