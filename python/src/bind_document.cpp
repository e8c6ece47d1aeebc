// Document: a job's text with edits that change only the lines they touch, used like a dict of
// its commands by name, or by address; and kestcmd.load.
#include "bindings.h"
#include "check.h"
#include "close_names.h"
#include "convert.h"
#include "document_edits.h"
#include "edit_values.h"
#include "errors.h"
#include "handles.h"

#include <pybind11/stl.h>

#include <optional>
#include <variant>

namespace py = pybind11;

namespace kestpy {

namespace {

DocPtr open_text(std::string text, std::string name) {
    HeldWarnings held;
    DocPtr state;
    {
        py::gil_scoped_release release;
        try {
            state = std::make_shared<DocState>(
                KestParDocument(std::move(text), KestFileUtil::path_from_utf8(name)), name);
            state->Doc().Job(); // reads the text now, without the GIL
        } catch (const ZUL_Failure& refused) {
            throw parse_failure(refused.what(), name);
        }
    }
    held.Warn(state->Name(), [&] { return &state->Doc().Positions(); });
    return state;
}

DocPtr open_file(const py::object& path) {
    const std::string file = path_bytes(path);
    std::string text;
    {
        py::gil_scoped_release release;
        text = read_file(file);
    }
    return open_text(std::move(text), file);
}

// The command named `name`, as addresses find it: one command of the name, of the text or
// made by the default rules. KeyError naming the document, with close names, for none, and
// naming the commands for several.
BlockRef named(DocState& doc, const std::string& name) {
    const DocState::Named found = doc.Find(name);
    if (found.blocks.size() + found.made.size() == 1) {
        return found.blocks.empty() ? doc.RefOf(*found.made.front())
                                    : doc.RefAt(found.blocks.front());
    }
    const std::string upper = KestText::to_upper_copy(name);
    if (found.blocks.empty() && found.made.empty()) {
        raise_error(PyExc_KeyError, doc.Name() + ": no command is named '" + name + "'" +
                                        did_you_mean(close_names(upper, doc.Names(), 3)));
    }
    KestParAddress address;
    address.name = upper;
    try {
        find_par_command(doc.Doc(), address); // its message lists the commands
    } catch (const KestParNamesNothing& several) {
        raise_error(PyExc_KeyError, doc.Name() + ": " + several.what());
    }
    throw std::logic_error("a name of several commands named one");
}

// `command`: a DocumentCommand of `doc`, or an ID_NAME or TYPE[N] as addresses write it.
BlockRef command_in(DocState& doc, const std::variant<DocumentCommand, Text>& command) {
    if (const auto* handle = std::get_if<DocumentCommand>(&command)) {
        if (handle->doc.get() != &doc) {
            throw py::value_error("the command is one of another document");
        }
        return handle->block;
    }
    const std::string& text = std::get<Text>(command).bytes;
    const KestParAddress address = parse_par_address(text + ".ID_NAME");
    if (address.by_type) {
        doc.Positions(); // the text read, with its warnings
        return doc.RefOf(find_par_command(doc.Doc(), address));
    }
    return named(doc, text);
}

py::list blocks(const DocPtr& self, std::optional<KestCmdDefs::Cmd> type) {
    const KestSourceMap& positions = self->Positions();
    py::list commands;
    for (std::size_t i = 0; i < positions.CommandCount(); ++i) {
        if (!type || positions.Command(i).GetType() == *type) {
            commands.append(DocumentCommand{self, self->RefAt(i)});
        }
    }
    return commands;
}

DocumentCommand add(const DocPtr& self, const Text& type, const std::optional<py::str>& name,
                    const py::kwargs& items) {
    const KestCmdDefs::Cmd t = type_named(type.bytes);
    std::vector<std::pair<std::string, std::string>> lines;
    if (name) {
        lines.emplace_back(KestCmdItemDefs::default_item_names[KestCmdItemDefs::ID_NAME],
                           edit_text(*name));
    }
    for (const auto& [key, value] : items) {
        const std::string k = py::str(key);
        if (!known_key(k)) {
            throw py::value_error("'" + k + "' is no key of a block");
        }
        lines.emplace_back(k, edit_text(value));
    }
    return DocumentCommand{self, add_block(*self, t, lines)};
}

// Runs an edit by address, which may change any name.
template <class Edit>
void by_address(DocState& doc, Edit edit) {
    doc.Positions(); // the text read, with its warnings
    doc.Run(edit);
    doc.Changed(true);
}

} // namespace

void bind_document(py::module_& m) {
    py::class_<DocState, DocPtr>(m, "Document", R"(
A job's text with edits that keep everything they do not touch byte for byte: comments, blank
lines, spacing, line ends.

Used like a dict of its commands: ``doc["volume_limit"]`` is the DocumentCommand whose ID_NAME
is that name (any case), which reads and edits like a dict of its values; iterating gives the
blocks of the text in file order, ``commands(type)`` those of one type. ``add``, ``remove`` and
``rename`` add, remove and rename blocks.

Values are also addressed as ``kestcmd get`` and ``set`` address them: ``COMMAND.KEY`` or
``COMMAND.KEY[N]``, COMMAND an ID_NAME (any case) or ``TYPE[N]`` (the N-th block of that type,
from 0). A malformed address raises ValueError, one that names nothing KeyError.

An edit the text cannot take raises EditError (a ValueError) and leaves the document as it
was.)")
        .def_static("read", &open_file, py::arg("path"),
                    "The document of the file at `path` (OSError when unreadable); as "
                    "kestcmd.load.")
        .def_static(
            "loads",
            [](const py::object& text, const Text& name) {
                return open_text(from_py(text), name.bytes);
            },
            py::arg("text"), py::kw_only(), py::arg("name") = "<text>",
            "The document of `text`; `name` is what messages call it, and where save() writes "
            "by default.")
        .def_property_readonly(
            "text", [](const DocState& self) { return to_py(self.Doc().Text()); },
            "The text with every edit applied.")
        .def(
            "dumps", [](const DocState& self) { return to_py(self.Doc().Text()); },
            "The text with every edit applied, as save() writes it.")
        .def_property_readonly(
            "name", [](const DocState& self) { return to_py(self.Name()); },
            "The path the document was read from, or the name given to loads.")
        .def_property_readonly("job", &DocState::CompletedJob,
                               "The completed Job of the text as it is now (a later edit does "
                               "not change it).")
        .def(
            "__getitem__",
            [](const DocPtr& self, const Text& name) {
                return DocumentCommand{self, named(*self, name.bytes)};
            },
            py::arg("name"),
            "The command whose ID_NAME is `name`, compared upper-cased as the reader compares "
            "names (a command the default rules made too); KeyError, naming the document and "
            "close names, when no command or several have that name.")
        .def(
            "__contains__",
            [](DocState& self, const Text& name) {
                const DocState::Named found = self.Find(name.bytes);
                return found.blocks.size() + found.made.size() == 1;
            },
            py::arg("name"), "Whether doc[name] finds a command.")
        .def("__len__", [](DocState& self) { return self.Positions().CommandCount(); })
        .def("__iter__",
             [](const DocPtr& self) { return blocks(self, std::nullopt).attr("__iter__")(); })
        .def(
            "commands",
            [](const DocPtr& self, const Text& type) {
                return blocks(self, type_named(type.bytes));
            },
            py::arg("type"),
            "The blocks of `type` (in any case), in file order; ValueError for a name of no "
            "command type.")
        .def("add", &add, py::arg("type"), py::pos_only(), py::kw_only(),
             py::arg("name") = py::none(),
             "Adds a block of `type` after the last block of that type (at the end of the text "
             "when there is none), with the line ID_NAME = `name` and one line per keyword "
             "(`GROUP='1-10'`); values as DocumentCommand takes them. ValueError for a key no "
             "block holds. Returns the new DocumentCommand.")
        .def(
            "remove",
            [](DocState& self, const std::variant<DocumentCommand, Text>& command) {
                remove_block(self, command_in(self, command));
            },
            py::arg("command"),
            "Removes the block of `command` (a DocumentCommand, an ID_NAME or TYPE[N]), from "
            "its keyword line to its END_ line.")
        .def(
            "rename",
            [](DocState& self, const std::variant<DocumentCommand, Text>& command,
               const Text& name) { rename_block(self, command_in(self, command), name.bytes); },
            py::arg("command"), py::arg("name"),
            "Gives the command `command` (a DocumentCommand, an ID_NAME or TYPE[N]) the ID_NAME "
            "`name`, and every value that refers to it too.")
        .def(
            "get",
            [](DocState& self, const Text& address) {
                self.Positions(); // the text read, with its warnings
                return to_py(get_par_value(self.Doc(), address.bytes));
            },
            py::arg("address"),
            "The value at `address` as the text writes it; KeyError when no line holds it.")
        .def(
            "set",
            [](DocState& self, const Text& address, const py::handle& value) {
                const std::string text = edit_text(value);
                by_address(self,
                           [&](KestParDocument& d) { set_par_value(d, address.bytes, text); });
            },
            py::arg("address"), py::arg("value"),
            "Sets the value at `address` (values as DocumentCommand takes them), replacing its "
            "line's value, or adds a line KEY = value when the address is one past the block's "
            "last such line.")
        .def(
            "unset",
            [](DocState& self, const Text& address) {
                by_address(self, [&](KestParDocument& d) { unset_par_value(d, address.bytes); });
            },
            py::arg("address"), "Removes the line of the value at `address`.")
        .def(
            "check",
            [](DocState& self) {
                std::vector<KestParDiagnostic> found;
                self.Run([&](const KestParDocument& d) { found = check_par_document(d); });
                return diagnostics(found, self.Name());
            },
            "The problems of the text, as `kestcmd check` finds them.")
        .def(
            "save",
            [](const DocState& self, const std::optional<py::object>& path) {
                // The text as it is now, copied with the GIL held: another thread may edit the
                // document while this one writes.
                const std::string target = path ? path_bytes(*path) : self.Name();
                const std::string text = self.Doc().Text();
                py::gil_scoped_release release;
                try {
                    KestFileUtil::write_all_safely(KestFileUtil::path_from_utf8(target), text);
                } catch (const ZUL_Failure& failure) {
                    throw file_failure(failure, target);
                }
            },
            py::arg("path") = py::none(),
            "Writes the text to `path`, or to the file it was read from, safely: the file holds "
            "either its old text or all of the new one (the text as it is when save is called, "
            "whatever another thread edits meanwhile), with the file's mode, owner and group. "
            "The OSError of the reason when it cannot be written.")
        .def("__repr__", [](const DocState& self) {
            return py::str("<Document {!r}>").format(to_py(self.Name()));
        });

    m.def("load", &open_file, py::arg("path"),
          "The Document of the job file at `path` (a str or os.PathLike), to read and edit like "
          "a dict and save; the same as Document.read. OSError when it cannot be read.");
}

} // namespace kestpy
