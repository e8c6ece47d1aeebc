// Diagnostic: one finding of check, as `kestcmd check` reports it.
#include "bindings.h"
#include "check.h"
#include "convert.h"

#include <pybind11/stl.h>

#include <optional>
#include <string>

namespace py = pybind11;

namespace kestpy {

namespace {

struct Fix {
    py::str title;
    std::size_t line;
    std::size_t column;
    std::size_t end_line;
    std::size_t end_column;
    py::str text;
};

struct Diagnostic {
    py::str path;
    std::size_t line;
    std::size_t column;
    std::size_t end_line;
    std::size_t end_column;
    std::string code;
    py::str message;
    std::string severity;
    std::optional<Fix> fix;
    /// The text the fix puts in the place of the finding's own range, if it does.
    std::optional<py::str> suggestion;
};

} // namespace

KestParCheckSettings check_settings(const std::string& name, const py::object& schema,
                                    const py::object& ignore) {
    try {
        KestParCheckSettings settings = KestParCheckSettings::ForFile(name);
        if (py::isinstance<py::dict>(schema)) {
            const std::string text =
                py::module_::import("json").attr("dumps")(schema).cast<std::string>();
            settings.schema.Extend(text, "schema");
        } else if (!schema.is_none()) {
            settings.schema.ExtendFromFile(
                py::module_::import("os").attr("fsdecode")(schema).cast<std::string>());
        }
        if (!ignore.is_none()) {
            std::string codes = "[";
            for (const py::handle code : ignore) {
                codes += (codes.size() > 1 ? "," : "") +
                         py::module_::import("json").attr("dumps")(code).cast<std::string>();
            }
            settings.Extend("{\"ignore\": " + codes + "]}", "ignore", ".");
        }
        return settings;
    } catch (const KestSchemaError& error) {
        throw py::value_error(error.what());
    }
}

py::list diagnostics(const std::vector<KestParDiagnostic>& found, const std::string& path) {
    py::list list;
    for (const KestParDiagnostic& d : found) {
        std::optional<Fix> fix;
        std::optional<py::str> suggestion;
        if (d.fix) {
            fix = Fix{to_py(d.fix->title), d.fix->start.line, d.fix->start.column,
                      d.fix->end.line,     d.fix->end.column, to_py(d.fix->text)};
            if (d.fix->start == d.start && d.fix->end == d.end) {
                suggestion = to_py(d.fix->text);
            }
        }
        list.append(Diagnostic{to_py(path), d.start.line, d.start.column, d.end.line, d.end.column,
                               d.code, to_py(d.message), severity_name(d.severity), std::move(fix),
                               std::move(suggestion)});
    }
    return list;
}

void bind_check(py::module_& m) {
    py::class_<Fix>(m, "Fix", R"(
A change of the text that mends a finding: the text from (line, column) to (end_line,
end_column) becomes `text` (an insertion where the two places are the same).)")
        .def_readonly("title", &Fix::title)
        .def_readonly("line", &Fix::line)
        .def_readonly("column", &Fix::column)
        .def_readonly("end_line", &Fix::end_line)
        .def_readonly("end_column", &Fix::end_column)
        .def_readonly("text", &Fix::text)
        .def("__repr__", [](const Fix& f) {
            return py::str("<Fix {}:{} {!r}>").format(f.line, f.column, f.text);
        });

    py::class_<Diagnostic>(m, "Diagnostic", R"(
One finding of check, as ``kestcmd check`` reports it: the file, where it starts (line and column
from 1, columns in bytes) and ends, a stable code (e.g. 'unknown-key'), its severity ('error',
'warning' or 'information', as the library decides it), a one-line message, a fix if one is
known, and the text the fix puts in the place of the finding (suggestion), if it does.)")
        .def_readonly("path", &Diagnostic::path)
        .def_readonly("line", &Diagnostic::line)
        .def_readonly("column", &Diagnostic::column)
        .def_readonly("end_line", &Diagnostic::end_line)
        .def_readonly("end_column", &Diagnostic::end_column)
        .def_readonly("code", &Diagnostic::code)
        .def_readonly("message", &Diagnostic::message)
        .def_readonly("severity", &Diagnostic::severity)
        .def_readonly("fix", &Diagnostic::fix)
        .def_readonly("suggestion", &Diagnostic::suggestion)
        .def("__str__",
             [](const Diagnostic& d) {
                 return py::str("{}:{}: {}: {} [{}]")
                     .format(d.line, d.column, d.severity, d.message, d.code);
             })
        .def("__repr__", [](const Diagnostic& d) {
            return py::str("<Diagnostic {}:{} {}>").format(d.line, d.column, d.code);
        });
}

} // namespace kestpy
