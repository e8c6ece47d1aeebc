#include "convert.h"

#include "handles.h"

#include <algorithm>

namespace py = pybind11;

namespace kestpy {

py::str to_py(std::string_view bytes) {
    PyObject* text = PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()),
                                          "surrogateescape");
    if (text == nullptr) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::str>(text);
}

std::string from_py(py::handle text) {
    if (!PyUnicode_Check(text.ptr())) {
        throw py::type_error(std::string("expected a str, not ") + Py_TYPE(text.ptr())->tp_name);
    }
    const auto bytes = py::reinterpret_steal<py::bytes>(
        PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogateescape"));
    if (!bytes) {
        throw py::error_already_set();
    }
    return bytes;
}

void raise_error(PyObject* type, std::string_view message) {
    PyErr_SetObject(type, to_py(message).ptr());
    throw py::error_already_set();
}

std::string path_bytes(py::handle path) {
    PyObject* bytes = nullptr;
    if (PyUnicode_FSConverter(path.ptr(), &bytes) == 0) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::bytes>(bytes);
}

std::string value_text(py::handle value) {
    if (PyBool_Check(value.ptr()) ||
        !(PyUnicode_Check(value.ptr()) || PyLong_Check(value.ptr()) || PyFloat_Check(value.ptr()) ||
          py::isinstance<IntList>(value))) {
        throw py::type_error(std::string("a value is a str, int, float or IntList, not ") +
                             Py_TYPE(value.ptr())->tp_name);
    }
    std::string text = from_py(py::str(value));
    if (text.find_first_of("\r\n") != std::string::npos) {
        raise_error(PyExc_ValueError, "a value is one line: " + text);
    }
    return text;
}

KestCmdDefs::Cmd type_named(std::string_view name) {
    const auto& names = KestCmdDefs::get_default_cmd_names();
    const auto found = std::find(names.begin(), names.end(), KestText::to_upper_copy(name));
    if (found == names.end()) {
        raise_error(PyExc_ValueError, "'" + std::string(name) + "' is no command type");
    }
    return static_cast<KestCmdDefs::Cmd>(found - names.begin());
}

std::optional<KestCmdItemDefs::CmdItem> kind_named(std::string_view name) {
    const auto& names = KestCmdItemDefs::default_item_names;
    const auto found = std::find(names.begin(), names.end(), KestText::to_upper_copy(name));
    if (found == names.end()) {
        return std::nullopt;
    }
    return static_cast<KestCmdItemDefs::CmdItem>(found - names.begin());
}

KestCmdItemDefs::CmdItem kind_or_error(std::string_view name) {
    const auto kind = kind_named(name);
    if (!kind) {
        raise_error(PyExc_ValueError, "'" + std::string(name) + "' is no item kind");
    }
    return *kind;
}

std::optional<std::string> name_of(const KestCmd& cmd) {
    if (!cmd.HasItem(KestCmdItemDefs::ID_NAME)) {
        return std::nullopt;
    }
    return cmd.Item(KestCmdItemDefs::ID_NAME, 0).GetString();
}

} // namespace kestpy
