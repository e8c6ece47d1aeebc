// The Python objects that stand for a command or an item of a job. Each holds the job, so the job
// lives as long as any of them (commands keep their address for the job's whole life).
#pragma once

#include "job_state.h"

#include <pybind11/pybind11.h>

#include <cstddef>

namespace kestpy {

struct Command {
    JobPtr state;
    const KestCmd* cmd;

    /// The command; throws std::runtime_error while another thread changes the job.
    const KestCmd& get() const {
        check_not_changing(*state);
        return *cmd;
    }
};

/// An item, known by its command, kind and index: completion may replace an item in its place.
struct Value {
    JobPtr state;
    const KestCmd* cmd;
    KestCmdItemDefs::CmdItem kind;
    std::size_t index;

    /// The item; throws std::runtime_error while another thread changes the job, or when the
    /// place holds no item any more.
    const KestCmdItem& get() const;
};

/// A new kestcmd.Value for `value`.
pybind11::object make_value(Value value);

/// An integer list, kept as its runs.
struct IntList {
    LumoList<int> list;
};

} // namespace kestpy
