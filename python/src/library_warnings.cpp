#include "library_warnings.h"

#include "bindings.h"

#include "convert.h"

#include <algorithm>
#include <optional>

namespace py = pybind11;

namespace kestpy {

namespace {

// The warning type, made once by bind_warnings and kept for the life of the process.
PyObject* kest_warning = nullptr;

// The lines of the values of `positions` whose integer-list reading has a step of 0: the one
// warning the library logs is its integer-list reader's, for such a step.
std::vector<std::size_t> warning_lines(const KestSourceMap& positions) {
    std::vector<std::size_t> lines;
    for (std::size_t i = 0; i < positions.CommandCount(); ++i) {
        const KestCmd& cmd = positions.Command(i);
        for (const KestSourceMap::ItemPlace& place : positions.Items(i)) {
            const KestCmdItem& item = cmd.Item(place.kind, place.index);
            if (item.HasLumoList() && LumoList<int>().TryRead(item.GetString(), false).warned) {
                lines.push_back(place.span.value.line);
            }
        }
    }
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

void warn(const std::string& message, const std::string& source, std::optional<std::size_t> line) {
    std::string text = message;
    if (!source.empty()) {
        text = source + (line ? ":" + std::to_string(*line) : std::string()) + ": " + message;
    }
    py::object warning = py::reinterpret_borrow<py::object>(kest_warning)(to_py(text));
    warning.attr("path") = source.empty() ? py::object(py::none()) : py::object(to_py(source));
    warning.attr("line") = line ? py::object(py::int_(*line)) : py::object(py::none());
    // Called from C++, the warning points at the line of Python that called into the module.
    py::module_::import("warnings").attr("warn")(warning);
}

} // namespace

void HeldWarnings::Give(const std::vector<ZUL_LogMacros::LogRecord>& records,
                        const std::string& source, const KestSourceMap* positions) {
    const std::vector<std::size_t> lines =
        positions != nullptr ? warning_lines(*positions) : std::vector<std::size_t>();
    for (const std::size_t line : lines) {
        warn(records.front().message, source, line);
    }
    if (!lines.empty()) {
        return;
    }
    // Where no value shows the warning (a list made in Python), each message once: the library
    // logs a warning for the trial read and again for the real one.
    std::vector<std::string> given;
    for (const ZUL_LogMacros::LogRecord& record : records) {
        if (std::find(given.begin(), given.end(), record.message) == given.end()) {
            given.push_back(record.message);
            warn(record.message, source, std::nullopt);
        }
    }
}

void bind_warnings(py::module_& m) {
    kest_warning = PyErr_NewExceptionWithDoc(
        "kestcmd.KestWarning",
        "A warning of the library: an integer list with a step of 0. A UserWarning with `path` "
        "(what the job is called, or None) and `line` (of the value, or None when unknown).",
        PyExc_UserWarning, nullptr);
    if (kest_warning == nullptr) {
        throw py::error_already_set();
    }
    m.add_object("KestWarning", py::handle(kest_warning));
}

} // namespace kestpy
