// Command: one block of a job, its type, its name, its line and its items by kind.
#include "bindings.h"
#include "command_reading.h"
#include "convert.h"
#include "handles.h"

#include <functional>

namespace py = pybind11;

namespace kestpy {

void bind_command(py::module_& m) {
    py::class_<Command> cls(m, "Command", R"(
One command (block) of a job: its type, its name, where its block starts, and its values by
item kind. Kinds are given by key, in any case (``cmd["value"]`` is ``cmd["VALUE"]``). Two
Command objects of the same command compare equal. A Command keeps its job alive.)");
    bind_command_reading(cls);
    cls.def(
           "values",
           [](const Command& self, const std::optional<std::string>& kind) {
               if (kind) {
                   return values_of_kind(self, kind_or_error(*kind));
               }
               py::list values;
               for (const auto k : kinds_of(self)) {
                   for (const py::handle value : values_of_kind(self, k)) {
                       values.append(value);
                   }
               }
               return values;
           },
           py::arg("kind") = py::none(),
           "The values of `kind`, in order (an empty list when there are none; ValueError for "
           "a name of no kind); without `kind`, every value of the command.")
        .def("__len__",
             [](const Command& self) {
                 const KestCmd& cmd = self.get();
                 std::size_t count = 0;
                 for (int k = 0; k < KestCmdItemDefs::item_kind_count; ++k) {
                     count += cmd.ItemCount(static_cast<KestCmdItemDefs::CmdItem>(k));
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
