// IntList: an integer list as its runs. Length, membership, indexing and the runs cost time in
// proportion to the runs; the values come one by one, or all at once through the buffer protocol.
#include "bindings.h"
#include "handles.h"
#include "library_warnings.h"

#include <pybind11/stl.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace py = pybind11;

namespace kestpy {

namespace {

/// The most values the buffer protocol hands out (400 MB of 32-bit integers): a list such as
/// 1-2000000000 has more values than memory should be spent on.
constexpr std::uint64_t max_buffer_values = 100'000'000;

using Run = LumoRunSet::Run;

std::int64_t value_at(const IntList& self, std::int64_t index) {
    const auto size = static_cast<std::int64_t>(self.list.size());
    if (index < 0) {
        index += size;
    }
    if (index < 0 || index >= size) {
        throw py::index_error("IntList index out of range");
    }
    for (const Run& run : self.list.runs().runs()) {
        if (index < run.count) {
            return run.first + index * run.stride;
        }
        index -= run.count;
    }
    return 0; // not reached: the runs hold `size` values
}

// The integer of `value`, an element of a list of values; TypeError for a bool or no integer,
// ValueError for one out of the range of int.
int element(py::handle value) {
    if (PyBool_Check(value.ptr()) || !PyIndex_Check(value.ptr())) {
        throw py::type_error(std::string("an IntList holds integers, not ") +
                             Py_TYPE(value.ptr())->tp_name);
    }
    const auto number = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
    int overflow = 0;
    const long long v = PyLong_AsLongLongAndOverflow(number.ptr(), &overflow);
    if (overflow != 0 || v < std::numeric_limits<int>::min() ||
        v > std::numeric_limits<int>::max()) {
        throw py::value_error("an IntList holds values of 32 bits, not " +
                              std::string(py::str(number)));
    }
    return static_cast<int>(v);
}

// The integers of a one-dimensional buffer of a native integer format, appended to `values`;
// false for a buffer of another format.
bool buffer_values(py::handle object, std::vector<int>& values) {
    Py_buffer view;
    if (PyObject_GetBuffer(object.ptr(), &view, PyBUF_RECORDS_RO) != 0) {
        throw py::error_already_set();
    }
    const std::unique_ptr<Py_buffer, void (*)(Py_buffer*)> release(&view, &PyBuffer_Release);
    std::string_view format(view.format != nullptr ? view.format : "B");
    if (!format.empty() && (format.front() == '@' || format.front() == '=')) {
        format.remove_prefix(1);
    }
    if (format.size() != 1 ||
        std::string_view("bBhHiIlLqQnN").find(format[0]) == std::string::npos) {
        return false;
    }
    if (view.ndim != 1) {
        throw py::value_error("an IntList is made from a one-dimensional array, not one of " +
                              std::to_string(view.ndim) + " dimensions");
    }
    const bool is_signed = format[0] >= 'a';
    const auto* base = static_cast<const char*>(view.buf);
    for (Py_ssize_t k = 0; k < view.shape[0]; ++k) {
        const char* at = base + k * view.strides[0];
        std::int64_t v = 0;
        switch (view.itemsize) {
        case 1:
            v = is_signed ? *reinterpret_cast<const std::int8_t*>(at)
                          : *reinterpret_cast<const std::uint8_t*>(at);
            break;
        case 2:
            v = is_signed ? *reinterpret_cast<const std::int16_t*>(at)
                          : *reinterpret_cast<const std::uint16_t*>(at);
            break;
        case 4:
            v = is_signed ? *reinterpret_cast<const std::int32_t*>(at)
                          : static_cast<std::int64_t>(*reinterpret_cast<const std::uint32_t*>(at));
            break;
        default:
            if (is_signed) {
                v = *reinterpret_cast<const std::int64_t*>(at);
            } else {
                const std::uint64_t u = *reinterpret_cast<const std::uint64_t*>(at);
                v = u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
                        ? std::numeric_limits<std::int64_t>::max()
                        : static_cast<std::int64_t>(u);
            }
        }
        if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) {
            throw py::value_error("an IntList holds values of 32 bits, not " + std::to_string(v));
        }
        values.push_back(static_cast<int>(v));
    }
    return true;
}

} // namespace

IntList int_list_of(py::handle values) {
    std::vector<int> all;
    if (!PyObject_CheckBuffer(values.ptr()) || !buffer_values(values, all)) {
        if (!py::isinstance<py::iterable>(values) || PyUnicode_Check(values.ptr())) {
            throw py::type_error(std::string("an IntList is made from integers, not ") +
                                 Py_TYPE(values.ptr())->tp_name);
        }
        for (const py::handle value : py::reinterpret_borrow<py::iterable>(values)) {
            all.push_back(element(value));
        }
    }
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    IntList made;
    for (const int v : all) {
        made.list.insert(v); // above every value held: it joins or follows the last run
    }
    return made;
}

std::string int_list_text(const IntList& list) {
    return LumoListText::to_text(list.list.runs(), list.list.GetDefaultStep(), std::string::npos);
}

namespace {

bool same_runs(const IntList& a, const IntList& b) {
    const auto& x = a.list.runs().runs();
    const auto& y = b.list.runs().runs();
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](const Run& r, const Run& s) {
        return r.first == s.first && r.stride == s.stride && r.count == s.count;
    });
}

// The message of a list too long for an array, or empty for one that fits.
std::string too_long(const IntList& self) {
    if (self.list.size() <= max_buffer_values) {
        return std::string();
    }
    return "the list has " + std::to_string(self.list.size()) + " values, more than the " +
           std::to_string(max_buffer_values) + " an array may take";
}

// The buffer protocol by hand: pybind11's cannot raise an exception, and a list too long to
// hand out must raise ValueError. Each view owns a copy of the values, freed on release.
struct BufferValues {
    std::unique_ptr<int[]> values; // not zeroed first: every value is written
    Py_ssize_t shape[1];
};

int get_buffer(PyObject* object, Py_buffer* view, int flags) {
    view->obj = nullptr;
    if ((flags & PyBUF_WRITABLE) == PyBUF_WRITABLE) {
        PyErr_SetString(PyExc_BufferError, "an IntList is read-only");
        return -1;
    }
    const IntList& self = py::handle(object).cast<const IntList&>();
    const std::string refused = too_long(self);
    if (!refused.empty()) {
        PyErr_SetString(PyExc_ValueError, refused.c_str());
        return -1;
    }
    auto owned = std::make_unique<BufferValues>();
    owned->shape[0] = static_cast<Py_ssize_t>(self.list.size());
    owned->values.reset(new int[self.list.size()]);
    int* out = owned->values.get();
    for (const Run& run : self.list.runs().runs()) {
        for (std::int64_t k = 0, v = run.first; k < run.count; ++k, v += run.stride) {
            *out++ = static_cast<int>(v);
        }
    }
    static char format[] = "i";
    view->buf = owned->values.get();
    view->len = owned->shape[0] * static_cast<Py_ssize_t>(sizeof(int));
    view->itemsize = sizeof(int);
    view->readonly = 1;
    view->ndim = 1;
    view->format = (flags & PyBUF_FORMAT) == PyBUF_FORMAT ? format : nullptr;
    view->shape = (flags & PyBUF_ND) == PyBUF_ND ? owned->shape : nullptr;
    view->strides = nullptr;
    view->suboffsets = nullptr;
    view->internal = owned.release();
    view->obj = object;
    Py_INCREF(object);
    return 0;
}

void release_buffer(PyObject*, Py_buffer* view) {
    delete static_cast<BufferValues*>(view->internal);
}

} // namespace

void bind_int_list(py::module_& m) {
    py::class_<IntList> cls(m, "IntList", py::buffer_protocol(), R"(
An ordered set of distinct integers, kept as runs of constant step (the integer-list
reading of a value such as ``1-12000,12500-14000:2,15001``).

``len``, ``in``, indexing and ``runs`` cost time in proportion to the runs, not to the
values, so ``1-2000000000`` is cheap. Iterating yields every value. ``numpy.asarray(ints)``
takes the values as 32-bit integers through the buffer protocol, without a Python list; a list
of more than ``IntList.max_array_size`` values raises ValueError instead.)");
    cls.def(py::init([](const std::string& text) {
                IntList made;
                HeldWarnings held;
                const LumoListText::ReadResult read = made.list.TryRead(text);
                held.Warn(std::string(), [] { return nullptr; });
                if (read.error != LumoListText::ReadResult::none) {
                    throw py::value_error(LumoListText::failure_message(read, made.list.runs(), 1));
                }
                return made;
            }),
            py::arg("text"),
            "The list the compact notation `text` gives (ValueError if none; a KestWarning for "
            "a step of 0).")
        .def(py::init(&int_list_of), py::arg("values"),
             "The list of `values`: an array of integers (numpy's too) or an iterable of ints, in "
             "any order, duplicates allowed; TypeError for other elements, ValueError for a "
             "value beyond 32 bits.")
        .def("__eq__", &same_runs, py::is_operator())
        .def("__hash__",
             [](const IntList& self) {
                 std::size_t hash = 0;
                 for (const Run& run : self.list.runs().runs()) {
                     for (const std::int64_t part : {run.first, run.stride, run.count}) {
                         hash = hash * 1000003u ^ std::hash<std::int64_t>()(part);
                     }
                 }
                 return hash;
             })
        .def_readonly_static("max_array_size", &max_buffer_values)
        .def("__len__", [](const IntList& self) { return self.list.size(); })
        .def("__contains__",
             [](const IntList& self, std::int64_t value) {
                 return value >= std::numeric_limits<int>::min() &&
                        value <= std::numeric_limits<int>::max() &&
                        self.list.contains(static_cast<int>(value));
             })
        .def("__contains__", [](const IntList&, const py::object&) { return false; })
        .def("__getitem__", &value_at, py::arg("index"))
        .def(
            "__iter__",
            [](const IntList& self) {
                return py::make_iterator(self.list.begin(), self.list.end());
            },
            py::keep_alive<0, 1>())
        .def_property_readonly(
            "runs",
            [](const IntList& self) {
                std::vector<std::tuple<std::int64_t, std::int64_t, std::int64_t>> runs;
                for (const Run& run : self.list.runs().runs()) {
                    runs.emplace_back(run.first, run.last(), run.stride);
                }
                return runs;
            },
            "The runs as (first, last, step) tuples, in ascending order.")
        .def(
            "__array__",
            // numpy takes the buffer when it can; when the buffer is refused it would go on to
            // read the list as a sequence, value by value, unless this raises first.
            [](const py::object& self, const py::object& dtype) {
                const std::string refused = too_long(self.cast<const IntList&>());
                if (!refused.empty()) {
                    throw py::value_error(refused);
                }
                const py::object array =
                    py::module_::import("numpy").attr("asarray")(py::memoryview(self));
                return dtype.is_none() ? array : array.attr("astype")(dtype);
            },
            py::arg("dtype") = py::none())
        .def("__str__", &int_list_text,
             "The compact notation, as the library writes it (one line).")
        .def("__repr__", [](const IntList& self) {
            return py::str("IntList({!r})").format(int_list_text(self));
        });
    auto* type = reinterpret_cast<PyHeapTypeObject*>(cls.ptr());
    type->as_buffer.bf_getbuffer = &get_buffer;
    type->as_buffer.bf_releasebuffer = &release_buffer;
}

} // namespace kestpy
