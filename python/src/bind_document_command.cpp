// DocumentCommand: one command of a Document, read like a Command and edited like a dict whose
// keys are item kinds; each edit changes only the lines of its key.
#include "bindings.h"
#include "command_reading.h"
#include "document_edits.h"
#include "edit_values.h"

namespace py = pybind11;

namespace kestpy {

void bind_document_command(py::module_& m) {
    py::class_<DocumentCommand> cls(m, "DocumentCommand", R"(
One command of a Document, used like a dict whose keys are item kinds (any case):
``cmd["VALUE"]`` is the first value of the key, a Value; ``cmd["VALUE"] = 0.25`` gives the key
that one value, changing its line in the text (and removing the key's other lines), or adding a
line when the block has none; ``del cmd["COEFFICIENT"]`` removes every line of the key. The rest
of the text stays byte for byte.

Values are a str, an int, a finite float, an IntList, a sequence or array of ints (written in
compact notation, ``1-3,7``), a sequence of names (written ``A, B``) or another Value (its
text). A command or value that the default rules made has no line: editing it raises EditError.
Reading shows the completed job: keys the default rules give are there too.

A DocumentCommand stays with its block while the document changes (blocks added or removed
before it); using one whose block was removed raises RuntimeError. Two of the same command
compare equal. It keeps its document alive.)");
    bind_command_reading(cls);
    cls.def(
           "__setitem__",
           [](const DocumentCommand& self, const Text& key, const py::handle& value) {
               const auto kind = kind_or_error(key.bytes);
               set_key(*self.doc, self.block, kind, edit_text(value));
           },
           py::arg("key"), py::arg("value"))
        .def(
            "__delitem__",
            [](const DocumentCommand& self, const Text& key) {
                const auto kind = kind_named(key.bytes);
                if (!kind) {
                    raise_error(PyExc_KeyError, key.bytes);
                }
                remove_key(*self.doc, self.block, *kind);
            },
            py::arg("key"))
        .def(
            "add",
            [](const DocumentCommand& self, const Text& key, const py::handle& value) {
                const auto kind = kind_or_error(key.bytes);
                add_line(*self.doc, self.block, kind, edit_text(value));
            },
            py::arg("key"), py::arg("value"),
            "Adds a line `KEY = value` after the block's last line of the key (at the end of "
            "the block when it has none), keeping the key's other lines: a second CONSTRAINT of "
            "an OPTIMIZE, say.")
        .def("__len__", [](const DocumentCommand& self) { return kinds_of(self).size(); })
        .def("__iter__",
             [](const DocumentCommand& self) {
                 py::list keys;
                 for (const auto kind : kinds_of(self)) {
                     keys.append(py::str(KestCmdItemDefs::default_item_names[kind]));
                 }
                 return keys.attr("__iter__")();
             })
        .def(
            "__eq__",
            [](const DocumentCommand& a, const DocumentCommand& b) {
                return a.doc == b.doc && DocState::Same(a.block, b.block);
            },
            py::is_operator())
        .def("__hash__",
             [](const DocumentCommand& self) {
                 return DocState::Hash(self.block) ^ std::hash<DocState*>()(self.doc.get());
             })
        .def("__repr__", [](const DocumentCommand& self) {
            const KestCmd& cmd = self.get();
            const auto name = name_of(cmd);
            return py::str("<DocumentCommand {}>")
                .format(to_py(KestCmdDefs::get_default_cmd_names()[cmd.GetType()] +
                              (name ? " " + *name : std::string())));
        });
}

} // namespace kestpy
