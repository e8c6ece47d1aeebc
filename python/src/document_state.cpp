#include "document_state.h"

#include "convert.h"
#include "library_warnings.h"

#include <pybind11/pybind11.h>

#include <functional>
#include <numeric>
#include <stdexcept>

namespace py = pybind11;

namespace kestpy {

namespace {

std::string upper_name(const KestCmd& cmd) {
    const auto name = name_of(cmd);
    return name ? KestText::to_upper_copy(*name) : std::string();
}

} // namespace

DocState::DocState(KestParDocument doc, std::string name)
    : _doc(std::move(doc)), _name(std::move(name)) {}

const KestSourceMap& DocState::Read(const KestSourceMap& (KestParDocument::*positions)() const) {
    HeldWarnings held;
    const KestSourceMap& read = (_doc.*positions)();
    held.Warn(_name, [&] { return &read; });
    return read;
}

const KestSourceMap& DocState::Positions() {
    return Read(&KestParDocument::Positions);
}

const KestCmdContainer& DocState::Job() {
    Positions(); // reads the text again if it must, with its warnings
    return _doc.Job();
}

const KestSourceMap& DocState::Placed() {
    return Read(&KestParDocument::PlacedPositions);
}

void DocState::Changed(bool names) {
    _job = nullptr;
    _names_made = _names_made && !names;
}

void DocState::Inserted(std::size_t index) {
    Changed(true);
    if (_ids_made) {
        _ids.insert(_ids.begin() + static_cast<std::ptrdiff_t>(index), _next_id++);
        _changes.push_back({true, index});
    }
}

void DocState::Removed(std::size_t index) {
    Changed(true);
    if (_ids_made) {
        _ids.erase(_ids.begin() + static_cast<std::ptrdiff_t>(index));
        _changes.push_back({false, index});
    }
}

BlockRef DocState::RefAt(std::size_t index) {
    if (!_ids_made) {
        _ids.resize(Placed().CommandCount());
        std::iota(_ids.begin(), _ids.end(), std::uint64_t{0});
        _next_id = _ids.size();
        _ids_made = true;
    }
    BlockRef ref;
    ref.id = _ids.at(index);
    ref.index = index;
    ref.seen = _changes.size();
    return ref;
}

BlockRef DocState::RefOf(const KestCmd& cmd) {
    // A command of Job() or of the placed job: the two are one unless values wait, and then
    // only the placed job's commands are alive.
    const KestSourceMap& positions = Placed();
    const std::size_t index = positions.IndexOf(cmd);
    if (index < positions.CommandCount()) {
        return RefAt(index);
    }
    BlockRef ref;
    ref.made = true;
    ref.made_name = upper_name(cmd);
    return ref;
}

std::size_t DocState::IndexOf(const BlockRef& ref) {
    for (; ref.seen < _changes.size(); ++ref.seen) {
        const BlockChange& change = _changes[ref.seen];
        if (change.inserted) {
            ref.index += ref.index >= change.index ? 1 : 0;
        } else if (ref.index == change.index) {
            throw std::runtime_error("the command was removed from the document");
        } else {
            ref.index -= ref.index > change.index ? 1 : 0;
        }
    }
    return ref.index;
}

const KestCmd& DocState::Resolve(const BlockRef& ref) {
    Positions(); // the values that wait, taken
    return ResolveToEdit(ref);
}

const KestCmd& DocState::ResolveToEdit(const BlockRef& ref) {
    if (!ref.made) {
        const std::size_t index = IndexOf(ref);
        const KestSourceMap& positions = Placed();
        if (index >= positions.CommandCount()) {
            throw std::logic_error("a block beyond the text's blocks");
        }
        return positions.Command(index);
    }
    for (const KestCmd* cmd : MadeCommands()) {
        if (upper_name(*cmd) == ref.made_name) {
            return *cmd;
        }
    }
    throw std::runtime_error("the default rules no longer make the command '" + ref.made_name +
                             "'");
}

bool DocState::Same(const BlockRef& a, const BlockRef& b) {
    return a.made == b.made && (a.made ? a.made_name == b.made_name : a.id == b.id);
}

std::size_t DocState::Hash(const BlockRef& ref) {
    return ref.made ? std::hash<std::string>()(ref.made_name) : std::hash<std::uint64_t>()(ref.id);
}

void DocState::IndexNames() {
    if (_names_made) {
        return;
    }
    const KestSourceMap& positions = Placed();
    _blocks_by_name.clear();
    _blocks_of_type.fill(0);
    for (std::size_t i = 0; i < positions.CommandCount(); ++i) {
        const KestCmd& cmd = positions.Command(i);
        ++_blocks_of_type[static_cast<std::size_t>(cmd.GetType())];
        if (cmd.HasItem(KestCmdItemDefs::ID_NAME)) {
            _blocks_by_name[upper_name(cmd)].push_back(i);
        }
    }
    _names_made = true;
}

std::vector<const KestCmd*> DocState::MadeCommands() {
    IndexNames();
    const KestSourceMap& positions = Placed();
    const KestCmdContainer& job = _doc.PlacedJob();
    std::vector<const KestCmd*> made;
    for (int t = 0; t < KestCmdDefs::cmd_type_count; ++t) {
        const auto type = static_cast<KestCmdDefs::Cmd>(t);
        const std::size_t blocks = _blocks_of_type[static_cast<std::size_t>(t)];
        if (job.GetNumberOfCommands(type) == blocks) {
            continue;
        }
        for (auto c = job.GetCommandBegin(type); c != job.GetCommandEnd(type); ++c) {
            // A type without blocks has only made commands (the usual case); otherwise ask.
            if (blocks == 0 || positions.IndexOf(**c) == positions.CommandCount()) {
                made.push_back(*c);
            }
        }
    }
    return made;
}

DocState::Named DocState::Find(std::string_view name) {
    IndexNames();
    const std::string upper = KestText::to_upper_copy(name);
    Named named;
    const auto found = _blocks_by_name.find(upper);
    if (found != _blocks_by_name.end()) {
        named.blocks = found->second;
    }
    for (const KestCmd* cmd : MadeCommands()) {
        if (cmd->HasItem(KestCmdItemDefs::ID_NAME) && upper_name(*cmd) == upper) {
            named.made.push_back(cmd);
        }
    }
    return named;
}

std::vector<std::string> DocState::Names() {
    IndexNames();
    std::vector<std::string> names;
    names.reserve(_blocks_by_name.size());
    for (const auto& entry : _blocks_by_name) {
        names.push_back(entry.first);
    }
    for (const KestCmd* cmd : MadeCommands()) {
        if (cmd->HasItem(KestCmdItemDefs::ID_NAME)) {
            names.push_back(upper_name(*cmd));
        }
    }
    return names;
}

JobPtr DocState::CompletedJob() {
    if (!_job) {
        Positions(); // the document reads the text first, with its warnings
        std::string text = _doc.Text();
        JobPtr job;
        {
            // Reading the same text again for the job repeats them: dropped.
            const ZUL_LogMacros::HeldMessages repeated;
            py::gil_scoped_release release;
            job = read_job(std::move(text), _name, true);
        }
        _job = std::move(job);
    }
    return _job;
}

} // namespace kestpy
