// Job: a whole job read from a file or a text, or made in Python; and kestcmd.read and loads.
#include "bindings.h"
#include "check.h"
#include "convert.h"
#include "edit_values.h"
#include "errors.h"
#include "handles.h"
#include "library_warnings.h"

#include <pybind11/stl.h>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace py = pybind11;

namespace kestpy {

namespace {

using KestCmdItemDefs::CmdItem;

std::size_t command_count(const JobState& state) {
    std::size_t count = 0;
    for (int t = 0; t < KestCmdDefs::cmd_type_count; ++t) {
        count += state.job.GetNumberOfCommands(static_cast<KestCmdDefs::Cmd>(t));
    }
    return count;
}

// `read`, run without the GIL, with the library's warnings given to Python after it.
template <class Read>
JobPtr read_warning(Read read) {
    HeldWarnings held;
    JobPtr job;
    {
        py::gil_scoped_release release;
        job = read();
    }
    held.Warn(job->name, [&] { return &job->positions; });
    return job;
}

JobPtr read_path(const py::object& path, bool complete) {
    const std::string file = path_bytes(path);
    return read_warning([&] { return read_job(read_file(file), file, complete); });
}

JobPtr read_text(const py::object& text, const Text& name, bool complete) {
    std::string bytes = PyBytes_Check(text.ptr()) ? std::string(py::bytes(text)) : from_py(text);
    return read_warning([&] { return read_job(std::move(bytes), name.bytes, complete); });
}

const KestCmd& named(const JobPtr& state, const std::string& name) {
    check_not_changing(*state);
    const KestCmd* cmd = find_named(*state, name);
    if (cmd == nullptr) {
        raise_error(PyExc_KeyError, name);
    }
    return *cmd;
}

// The block text of a command of `type` with `items`; a list or tuple gives one line per element.
std::string block_text(KestCmdDefs::Cmd type, const py::kwargs& items) {
    std::string text = KestCmdDefs::get_default_cmd_names()[type] + "\n";
    for (const auto& [key, value] : items) {
        const std::string name = py::str(key);
        if (!known_key(name)) {
            throw py::value_error("'" + name + "' is no key of a block");
        }
        const bool many = py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value);
        for (const py::handle one : many ? py::reinterpret_borrow<py::iterable>(value)
                                         : py::iterable(py::make_tuple(value))) {
            text += "  " + name + " = " + value_text(one) + "\n";
        }
    }
    return text + "END_\n";
}

Command add(const JobPtr& state, const Text& type, const py::kwargs& items) {
    const std::string text = block_text(type_named(type.bytes), items);
    const JobUse use(*state, JobUse::change);
    std::vector<KestCmd*> created;
    HeldWarnings held;
    standard_reader().ReadText(text, state->job, &created);
    state->has_text = false;
    forget_derived(*state);
    held.Warn(state->name, [] { return nullptr; });
    return Command{state, created.front()};
}

void write_file(const JobPtr& state, const py::object& path) {
    const std::string file = path_bytes(path);
    const JobUse use(*state, JobUse::read);
    py::gil_scoped_release release;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::fopen(file.c_str(), "wb"),
                                                           &std::fclose);
    if (!stream) {
        throw FileFailure{errno, file};
    }
    write_job(state->job, stream.get(), file);
    if (std::fclose(stream.release()) != 0) {
        throw FileFailure{errno, file};
    }
}

} // namespace

void bind_job(py::module_& m) {
    py::class_<JobState, JobPtr>(m, "Job", R"(
A job: its commands with typed values, references between them, and where each stands in the
text it was read from.

``kestcmd.read(path)`` and ``kestcmd.loads(text)`` read one; ``Job()`` makes an empty one to fill
with ``add``. Iterating gives every command in the order ``kestcmd show`` prints them (types in
their fixed order, each in file order); ``job["NAME"]`` the command of an ID_NAME.

Reading, completing, checking and writing release the GIL, so threads can work on different
jobs side by side. A job that one thread completes cannot be used by another meanwhile
(RuntimeError).)")
        .def(py::init([] { return std::make_shared<JobState>(); }), "An empty job.")
        .def_property_readonly(
            "name", [](const JobState& self) { return to_py(self.name); },
            "What messages call the job: its path, or the name given to loads.")
        .def("__len__",
             [](const JobState& self) {
                 check_not_changing(self);
                 return command_count(self);
             })
        .def("__iter__",
             [](const JobPtr& self) {
                 check_not_changing(*self);
                 py::list commands;
                 for (const KestCmd& cmd : self->job) {
                     commands.append(Command{self, &cmd});
                 }
                 return commands.attr("__iter__")();
             })
        .def(
            "commands",
            [](const JobPtr& self, const Text& type) {
                const KestCmdDefs::Cmd t = type_named(type.bytes);
                check_not_changing(*self);
                std::vector<Command> commands;
                for (auto c = self->job.GetCommandBegin(t); c != self->job.GetCommandEnd(t); ++c) {
                    commands.push_back(Command{self, *c});
                }
                return commands;
            },
            py::arg("type"),
            "The commands of `type` (in any case), in file order; ValueError for a name of no "
            "command type.")
        .def(
            "__getitem__",
            [](const JobPtr& self, const Text& name) {
                return Command{self, &named(self, name.bytes)};
            },
            py::arg("name"),
            "The command whose ID_NAME is `name`, compared upper-cased as the reader compares "
            "names; of several, the first in iteration order (the one references link to). "
            "KeyError for none.")
        .def(
            "__contains__",
            [](const JobPtr& self, const Text& name) {
                check_not_changing(*self);
                return find_named(*self, name.bytes) != nullptr;
            },
            py::arg("name"))
        .def("add", &add, py::arg("type"), py::pos_only(),
             "Adds a command of `type` with one item per keyword (`ID_NAME='D1', GROUP='1-10'`), "
             "read as the reader reads a block; a list or tuple gives one item per element. "
             "Values are str, int, float or IntList. Returns the new Command.")
        .def(
            "complete",
            [](const JobPtr& self) {
                HeldWarnings held;
                {
                    const JobUse use(*self, JobUse::change);
                    {
                        py::gil_scoped_release release;
                        standard_reader().Complete(self->job);
                    }
                    forget_derived(*self);
                }
                held.Warn(self->name, [] { return nullptr; });
            },
            "Completes the job as reading does: resolves the links the file implies, links names "
            "to commands, applies the default rules. A completed job completes to itself.")
        .def(
            "check",
            [](const JobPtr& self) {
                const JobUse use(*self, JobUse::read);
                std::vector<KestParDiagnostic> found;
                {
                    // Reading the text again warns as reading the job did: dropped.
                    const ZUL_LogMacros::HeldMessages repeated;
                    py::gil_scoped_release release;
                    const KestParDocument document(self->has_text ? self->text
                                                                  : dump_job(self->job),
                                                   KestFileUtil::path_from_utf8(self->name));
                    found = check_par_document(document);
                }
                return diagnostics(found, self->name);
            },
            "The problems of the job's text, as `kestcmd check` finds them (a list of "
            "Diagnostic). A job made or added to in Python is checked as dumps() writes it.")
        .def(
            "dumps",
            [](const JobPtr& self) {
                const JobUse use(*self, JobUse::read);
                std::string text;
                {
                    py::gil_scoped_release release;
                    text = dump_job(self->job);
                }
                return to_py(text);
            },
            "The job in the writer's layout, as `kestcmd complete` prints it.")
        .def("write", &write_file, py::arg("path"),
             "Writes dumps() to the file at `path` (OSError when it cannot be written).")
        .def("__repr__", [](const JobState& self) {
            return py::str("<Job {!r}: {} commands>").format(to_py(self.name), command_count(self));
        });

    m.def("read", &read_path, py::arg("path"), py::kw_only(), py::arg("complete") = true,
          "Reads the job file at `path` (a str or os.PathLike) and completes it, unless "
          "`complete` is False. FileNotFoundError (an OSError) when it cannot be read, ParseError "
          "when the reader refuses it.");
    m.def("loads", &read_text, py::arg("text"), py::kw_only(), py::arg("name") = "<text>",
          py::arg("complete") = true,
          "Reads a job from `text` (a str, or bytes) as read() reads a file; `name` is what "
          "messages call it.");
}

} // namespace kestpy
