// Diagnostic: one problem of a job's text, as `kestcmd check` reports it.
#include "bindings.h"
#include "check.h"
#include "convert.h"

#include <pybind11/stl.h>

#include <optional>
#include <string>

namespace py = pybind11;

namespace kestpy {

namespace {

struct Diagnostic {
    py::str path;
    std::size_t line;
    std::size_t column;
    std::size_t end_line;
    std::size_t end_column;
    std::string code;
    py::str message;
    std::string severity;
    std::optional<py::str> suggestion;
};

} // namespace

py::list diagnostics(const std::vector<KestParDiagnostic>& found, const std::string& path) {
    py::list list;
    for (const KestParDiagnostic& d : found) {
        list.append(
            Diagnostic{to_py(path), d.start.line, d.start.column, d.end.line, d.end.column, d.code,
                       to_py(d.message), "warning",
                       d.suggestion.empty() ? std::nullopt : std::optional(to_py(d.suggestion))});
    }
    return list;
}

void bind_check(py::module_& m) {
    py::class_<Diagnostic>(m, "Diagnostic", R"(
One problem of a job's text, as ``kestcmd check`` reports it: the job's path (or name), where
it starts (line and column
from 1, columns in bytes) and ends, a stable code (e.g. 'unknown-key'), a one-line message, the
severity ('warning' for every problem the checks find) and the known text suggested instead, if
any.)")
        .def_readonly("path", &Diagnostic::path)
        .def_readonly("line", &Diagnostic::line)
        .def_readonly("column", &Diagnostic::column)
        .def_readonly("end_line", &Diagnostic::end_line)
        .def_readonly("end_column", &Diagnostic::end_column)
        .def_readonly("code", &Diagnostic::code)
        .def_readonly("message", &Diagnostic::message)
        .def_readonly("severity", &Diagnostic::severity)
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
