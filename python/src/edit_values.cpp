#include "edit_values.h"

#include "convert.h"
#include "handles.h"

#include <algorithm>
#include <cmath>

namespace py = pybind11;

namespace kestpy {

namespace {

bool is_integer(py::handle value) {
    return PyIndex_Check(value.ptr()) && !PyBool_Check(value.ptr());
}

// Names joined by ", ", or nothing when `values` holds no str.
std::optional<std::string> names_text(const py::list& values) {
    if (values.empty() || !std::all_of(values.begin(), values.end(),
                                       [](py::handle v) { return PyUnicode_Check(v.ptr()); })) {
        return std::nullopt;
    }
    std::string text;
    for (const py::handle name : values) {
        const std::string piece = from_py(name);
        if (!KestParSyntax::StandsAsPiece(piece)) {
            raise_error(PyExc_ValueError,
                        "a name of a list must stand as a piece of the list: not empty, no "
                        "blanks around it, no ',', '=' or line break, neither '#' nor END_ "
                        "first: '" +
                            piece + "'");
        }
        text += (text.empty() ? "" : ", ") + piece;
    }
    return text;
}

} // namespace

std::string edit_text(py::handle value) {
    if (PyUnicode_Check(value.ptr()) || PyLong_Check(value.ptr()) ||
        py::isinstance<IntList>(value)) {
        return value_text(value);
    }
    if (PyFloat_Check(value.ptr())) {
        if (!std::isfinite(PyFloat_AS_DOUBLE(value.ptr()))) {
            throw py::value_error("a value is a finite number, not " + std::string(py::str(value)));
        }
        return value_text(value);
    }
    if (const Value* other = value_in(value)) {
        return value_text_of(*other);
    }
    const bool bytes = PyBytes_Check(value.ptr()) || PyByteArray_Check(value.ptr());
    const bool many = !bytes && py::isinstance<py::iterable>(value);
    if (is_integer(value) && !many) { // an integer of another type, numpy's say
        const auto number = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
        if (!number) {
            throw py::error_already_set();
        }
        return value_text(number);
    }
    if (!bytes && PyObject_CheckBuffer(value.ptr())) {
        return int_list_text(int_list_of(value));
    }
    if (many) {
        const py::list values(py::reinterpret_borrow<py::iterable>(value));
        if (const auto names = names_text(values)) {
            return *names;
        }
        return int_list_text(int_list_of(values));
    }
    throw py::type_error(
        std::string(
            "a value is a str, int, float, IntList, or a sequence of ints or of names, not ") +
        Py_TYPE(value.ptr())->tp_name);
}

bool known_key(const std::string& key) {
    const std::string upper = KestText::to_upper_copy(key);
    const auto& fixed = KestParKeys::fixed_keys;
    return kind_named(upper) || upper == KestParKeys::operator_key ||
           std::find(fixed.begin(), fixed.end(), upper) != fixed.end();
}

} // namespace kestpy
