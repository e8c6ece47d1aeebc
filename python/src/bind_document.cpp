// Document: a job's text with edits that change only the lines they touch, by address.
#include "bindings.h"
#include "check.h"
#include "convert.h"
#include "errors.h"
#include "handles.h"

#include <pybind11/stl.h>

#include <optional>

namespace py = pybind11;

namespace kestpy {

namespace {

struct DocumentState {
    KestParDocument doc;
    std::string name;
    /// The job of the text as it is now, made when asked for; an edit drops it.
    JobPtr job;
};

DocumentState open_text(std::string text, std::string name) {
    py::gil_scoped_release release;
    DocumentState state{KestParDocument(std::move(text), KestFileUtil::path_from_utf8(name)), name,
                        nullptr};
    state.doc.Job(); // reads the text now, without the GIL
    return state;
}

} // namespace

void bind_document(py::module_& m) {
    py::class_<DocumentState>(m, "Document", R"(
A job's text with edits that keep everything they do not touch byte for byte: comments, blank
lines, spacing, line ends. Values are addressed as ``kestcmd get`` and ``set`` address them:
``COMMAND.KEY`` or ``COMMAND.KEY[N]``, COMMAND an ID_NAME (any case) or ``TYPE[N]`` (the N-th
block of that type, from 0).

A malformed address raises ValueError, one that names nothing KeyError, an edit the text cannot
take EditError (a ValueError).)")
        .def_static(
            "read",
            [](const py::object& path) {
                const std::string file = path_bytes(path);
                std::string text;
                {
                    py::gil_scoped_release release;
                    text = read_file(file);
                }
                return open_text(std::move(text), file);
            },
            py::arg("path"), "The document of the file at `path` (OSError when unreadable).")
        .def_static(
            "loads",
            [](const py::object& text, const std::string& name) {
                return open_text(from_py(text), name);
            },
            py::arg("text"), py::kw_only(), py::arg("name") = "<text>",
            "The document of `text`; `name` is what messages call it, and where save() writes "
            "by default.")
        .def_property_readonly(
            "text", [](const DocumentState& self) { return to_py(self.doc.Text()); },
            "The text with every edit applied.")
        .def_property_readonly(
            "name", [](const DocumentState& self) { return to_py(self.name); },
            "The path the document was read from, or the name given to loads.")
        .def_property_readonly(
            "job",
            [](DocumentState& self) {
                if (!self.job) {
                    std::string text = self.doc.Text();
                    py::gil_scoped_release release;
                    self.job = read_job(std::move(text), self.name, true);
                }
                return self.job;
            },
            "The completed Job of the text as it is now (a later edit does not change it).")
        .def(
            "get",
            [](const DocumentState& self, const std::string& address) {
                return to_py(get_par_value(self.doc, address));
            },
            py::arg("address"),
            "The value at `address` as the text writes it; KeyError when no line holds it.")
        .def(
            "set",
            [](DocumentState& self, const std::string& address, const py::handle& value) {
                set_par_value(self.doc, address, value_text(value));
                self.job = nullptr;
            },
            py::arg("address"), py::arg("value"),
            "Sets the value at `address` (a str, int or float), replacing its line's value, or "
            "adds a line KEY = value when the address is one past the block's last such line.")
        .def(
            "unset",
            [](DocumentState& self, const std::string& address) {
                unset_par_value(self.doc, address);
                self.job = nullptr;
            },
            py::arg("address"), "Removes the line of the value at `address`.")
        .def(
            "rename",
            [](DocumentState& self, const std::string& command, const std::string& name) {
                // The command part of an address alone: any key completes it.
                const KestCmd& cmd =
                    find_par_command(self.doc, parse_par_address(command + ".ID_NAME"));
                self.doc.RenameCommand(cmd, name);
                self.job = nullptr;
            },
            py::arg("command"), py::arg("name"),
            "Gives the command at `command` (an ID_NAME or TYPE[N]) the ID_NAME `name`, and "
            "every value that refers to it too.")
        .def(
            "check",
            [](const DocumentState& self, const py::object& schema, const py::object& ignore) {
                return diagnostics(
                    check_par_document(self.doc, check_settings(self.name, schema, ignore)),
                    self.name);
            },
            py::arg("schema") = py::none(), py::arg("ignore") = py::none(),
            "The findings of check in the text, as `kestcmd check` makes them; `schema` and "
            "`ignore` as for Job.check.")
        .def(
            "save",
            [](const DocumentState& self, const std::optional<py::object>& path) {
                const std::wstring target =
                    path ? KestFileUtil::path_from_utf8(path_bytes(*path)) : std::wstring();
                py::gil_scoped_release release;
                self.doc.Save(target);
            },
            py::arg("path") = py::none(),
            "Writes the text to `path`, or to the file it was read from, safely: the file holds "
            "either its old text or all of the new one.")
        .def("__repr__", [](const DocumentState& self) {
            return py::str("<Document {!r}>").format(to_py(self.name));
        });
}

} // namespace kestpy
