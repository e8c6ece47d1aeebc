// Document: a job's text with edits that change only the lines they touch, by address.
#include "address.h"
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

// Runs `edit` on the item an address names, then drops the job made from the text before.
template <class Edit>
void edit_at(DocumentState& self, const std::string& address, Edit edit) {
    const ParAddress a = parse_address(address, true);
    edit(find_command(a, self.doc), a);
    self.job = nullptr;
}

std::string get(const DocumentState& self, const std::string& address) {
    const ParAddress a = parse_address(address, true);
    const KestCmd& cmd = find_command(a, self.doc);
    const auto span = self.doc.Positions().Find(cmd, a.kind, a.index);
    if (!span) {
        throw py::key_error(address + ": no line of the text holds this value");
    }
    return self.doc.Slice(span->value, span->value_end);
}

void set(DocumentState& self, const std::string& address, const py::handle& value) {
    const std::string text = value_text(value);
    edit_at(self, address, [&](const KestCmd& cmd, const ParAddress& a) {
        const std::size_t lines = lines_of(self.doc, cmd, a.kind);
        if (a.index < lines) {
            self.doc.SetValue(cmd, a.kind, a.index, text);
        } else if (a.index == lines) {
            // A new line; the document refuses a command that completion made.
            self.doc.AddItem(cmd, KestCmdItemDefs::default_item_names[a.kind], text);
        } else {
            throw py::key_error(address + ": the block has " + std::to_string(lines) +
                                " such lines; only the next one may be added");
        }
    });
}

void unset(DocumentState& self, const std::string& address) {
    edit_at(self, address, [&](const KestCmd& cmd, const ParAddress& a) {
        if (cmd.ItemCount(a.kind) <= a.index) {
            throw py::key_error(address + ": the command has no such item");
        }
        self.doc.RemoveItem(cmd, a.kind, a.index); // refused for an item completion made
    });
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
        .def("get", &get, py::arg("address"),
             "The value at `address` as the text writes it; KeyError when no line holds it.")
        .def("set", &set, py::arg("address"), py::arg("value"),
             "Sets the value at `address` (a str, int or float), replacing its line's value, or "
             "adds a line KEY = value when the address is one past the block's last such line.")
        .def("unset", &unset, py::arg("address"), "Removes the line of the value at `address`.")
        .def(
            "rename",
            [](DocumentState& self, const std::string& command, const std::string& name) {
                const KestCmd& cmd = find_command(parse_address(command, false), self.doc);
                self.doc.RenameCommand(cmd, name);
                self.job = nullptr;
            },
            py::arg("command"), py::arg("name"),
            "Gives the command at `command` (an ID_NAME or TYPE[N]) the ID_NAME `name`, and "
            "every value that refers to it too.")
        .def(
            "check",
            [](const DocumentState& self) { return diagnostics(check_par_document(self.doc)); },
            "The problems of the text, as `kestcmd check` finds them.")
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
