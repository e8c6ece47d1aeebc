#include "job_state.h"

#include "errors.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace kestpy {

JobUse::JobUse(JobState& state, Kind kind) : _state(state), _kind(kind) {
    if (state.changing || (kind == change && state.readers > 0)) {
        throw std::runtime_error("the job is in use by another thread");
    }
    if (kind == change) {
        state.changing = true;
    } else {
        ++state.readers;
    }
}

JobUse::~JobUse() {
    if (_kind == change) {
        _state.changing = false;
    } else {
        --_state.readers;
    }
}

void check_not_changing(const JobState& state) {
    if (state.changing) {
        throw std::runtime_error("the job is being changed by another thread");
    }
}

const KestCmd* find_named(JobState& state, std::string_view name) {
    if (!state.by_name_made) {
        for (const KestCmd& cmd : state.job) {
            if (cmd.HasItem(KestCmdItemDefs::ID_NAME)) {
                state.by_name.emplace(
                    KestText::to_upper_copy(cmd.Item(KestCmdItemDefs::ID_NAME, 0).GetString()),
                    &cmd);
            }
        }
        state.by_name_made = true;
    }
    const auto found = state.by_name.find(KestText::to_upper_copy(name));
    return found == state.by_name.end() ? nullptr : found->second;
}

void forget_derived(JobState& state) {
    state.by_name.clear();
    state.by_name_made = false;
}

const KestParFileAdapter& standard_reader() {
    static const KestParFileAdapter reader = reader_for("<job>");
    return reader;
}

KestParFileAdapter reader_for(const std::string& name) {
    return KestParFileAdapter(KestFileUtil::path_from_utf8(name), KestCmdIoConfig());
}

JobPtr read_job(std::string text, const std::string& name, bool complete) {
    auto state = std::make_shared<JobState>();
    state->name = name;
    try {
        const KestParFileAdapter reader = reader_for(name);
        if (complete) {
            reader.ParseText(text, state->job, &state->positions);
        } else {
            reader.ReadText(text, state->job, nullptr, &state->positions);
        }
    } catch (const ZUL_Failure& refused) {
        throw parse_failure(refused.what(), name);
    }
    state->text = std::move(text);
    state->has_text = true;
    return state;
}

void write_job(const KestCmdContainer& job, std::FILE* stream, const std::string& name) {
    KestCmdParOutput(KestFileUtil::path_from_utf8(name), job, KestCmdDefs::get_default_cmd_names(),
                     KestCmdItemDefs::default_item_names)
        .Write(stream);
}

std::string dump_job(const KestCmdContainer& job) {
    // The writer writes to streams: a temporary file, read back.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
    if (!file) {
        throw std::runtime_error("no temporary file for the text");
    }
    write_job(job, file.get(), "<text>");
    const long size = std::ftell(file.get());
    std::string text(size < 0 ? 0 : static_cast<std::size_t>(size), '\0');
    std::rewind(file.get());
    if (std::fread(text.data(), 1, text.size(), file.get()) != text.size()) {
        throw std::runtime_error("the temporary file of the text cannot be read");
    }
    return text;
}

} // namespace kestpy
