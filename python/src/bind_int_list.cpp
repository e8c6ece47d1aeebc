// IntList: an integer list as its runs. Length, membership, indexing and the runs cost time in
// proportion to the runs; the values come one by one, or all at once through the buffer protocol.
#include "bindings.h"
#include "handles.h"

#include <pybind11/stl.h>

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

std::string text_of(const IntList& self) {
    return LumoListText::to_text(self.list.runs(), self.list.GetDefaultStep(), std::string::npos);
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
                const LumoListText::ReadResult read = made.list.TryRead(text, false);
                if (read.error != LumoListText::ReadResult::none) {
                    throw py::value_error(LumoListText::failure_message(read, made.list.runs(), 1));
                }
                return made;
            }),
            py::arg("text"), "The list the compact notation `text` gives (ValueError if none).")
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
        .def("__str__", &text_of, "The compact notation, as the library writes it (one line).")
        .def("__repr__",
             [](const IntList& self) { return py::str("IntList({!r})").format(text_of(self)); });
    auto* type = reinterpret_cast<PyHeapTypeObject*>(cls.ptr());
    type->as_buffer.bf_getbuffer = &get_buffer;
    type->as_buffer.bf_releasebuffer = &release_buffer;
}

} // namespace kestpy
