// Command: one block of a job, its type, its name, its line and its items by kind.
#include "bindings.h"
#include "convert.h"
#include "handles.h"

#include <pybind11/stl.h>

#include <functional>

namespace py = pybind11;

namespace kestpy {

namespace {

using KestCmdItemDefs::CmdItem;

// The values of `kind` in `self`, or of every kind (in the order of the kinds) when none is given.
py::list values_of(const Command& self, const std::optional<Text>& kind_name) {
    const KestCmd& cmd = self.get();
    py::list values;
    const auto add_kind = [&](CmdItem kind) {
        for (std::size_t i = 0; i < cmd.ItemCount(kind); ++i) {
            values.append(make_value(Value{self.state, self.cmd, kind, i}));
        }
    };
    if (kind_name) {
        add_kind(kind_or_error(kind_name->bytes));
    } else {
        for (int k = 0; k < KestCmdItemDefs::item_kind_count; ++k) {
            add_kind(static_cast<CmdItem>(k));
        }
    }
    return values;
}

} // namespace

void bind_command(py::module_& m) {
    py::class_<Command>(m, "Command", R"(
One command (block) of a job: its type, its name, where its block starts, and its values by
item kind. Kinds are given by key, in any case (``cmd["value"]`` is ``cmd["VALUE"]``). Two
Command objects of the same command compare equal. A Command keeps its job alive.)")
        .def_property_readonly(
            "type",
            [](const Command& self) {
                return KestCmdDefs::get_default_cmd_names()[self.get().GetType()];
            },
            "The command type, e.g. 'CONSTRAINT' ('CMD_PLACEHOLDER' for an unknown keyword).")
        .def_property_readonly(
            "name",
            [](const Command& self) -> std::optional<py::str> {
                const auto name = name_of(self.get());
                return name ? std::optional(to_py(*name)) : std::nullopt;
            },
            "The first ID_NAME text, or None.")
        .def_property_readonly(
            "line",
            [](const Command& self) -> std::optional<std::size_t> {
                const auto span = self.state->positions.Find(self.get());
                return span ? std::optional(span->keyword.line) : std::nullopt;
            },
            "The line (from 1) of the block's keyword, or None for a command not read from text.")
        .def(
            "keys",
            [](const Command& self) {
                const KestCmd& cmd = self.get();
                std::vector<std::string> kinds;
                for (int k = 0; k < KestCmdItemDefs::item_kind_count; ++k) {
                    if (cmd.HasItem(static_cast<CmdItem>(k))) {
                        kinds.push_back(KestCmdItemDefs::default_item_names[k]);
                    }
                }
                return kinds;
            },
            "The item kinds the command holds, in the order of the kinds (as the writer writes "
            "them).")
        .def("values", &values_of, py::arg("kind") = py::none(),
             "The values of `kind`, in order (an empty list when there are none; ValueError for "
             "a name of no kind); without `kind`, every value of the command.")
        .def(
            "__getitem__",
            [](const Command& self, const Text& key) {
                const auto kind = kind_named(key.bytes);
                if (!kind || !self.get().HasItem(*kind)) {
                    raise_error(PyExc_KeyError, key.bytes);
                }
                return make_value(Value{self.state, self.cmd, *kind, 0});
            },
            py::arg("kind"), "The first value of `kind`; KeyError when there is none.")
        .def(
            "__contains__",
            [](const Command& self, const Text& key) {
                const auto kind = kind_named(key.bytes);
                return kind && self.get().HasItem(*kind);
            },
            py::arg("kind"))
        .def("__len__",
             [](const Command& self) {
                 const KestCmd& cmd = self.get();
                 std::size_t count = 0;
                 for (int k = 0; k < KestCmdItemDefs::item_kind_count; ++k) {
                     count += cmd.ItemCount(static_cast<CmdItem>(k));
                 }
                 return count;
             })
        .def(
            "__eq__", [](const Command& a, const Command& b) { return a.cmd == b.cmd; },
            py::is_operator())
        .def("__hash__", [](const Command& self) { return std::hash<const KestCmd*>()(self.cmd); })
        .def("__repr__", [](const Command& self) {
            const auto name = name_of(self.get());
            return py::str("<Command {}>")
                .format(to_py(KestCmdDefs::get_default_cmd_names()[self.cmd->GetType()] +
                              (name ? " " + *name : std::string())));
        });
}

} // namespace kestpy
