// Value: one item of a command, with its text, its place in the text and every typed reading.
//
// Scripts make a Value for every item they look at, so the type is written against the C API
// instead of through pybind11: making, reading and dropping one costs a fraction of what a
// pybind11 instance costs (an allocation and a registry entry each way).
#include "bindings.h"
#include "convert.h"
#include "handles.h"

#include <pybind11/stl.h>

#include <new>
#include <stdexcept>

namespace py = pybind11;

namespace kestpy {

const KestCmdItem& Value::get() const {
    check_not_changing(*state);
    if (index >= cmd->ItemCount(kind)) {
        throw std::runtime_error("the item is no longer in its command");
    }
    return cmd->Item(kind, index);
}

namespace {

using KestCmdItemDefs::default_item_names;

struct ValueObject {
    PyObject_HEAD Value value;
};

PyTypeObject* value_type = nullptr;

const Value& value_of(PyObject* self) {
    return reinterpret_cast<ValueObject*>(self)->value;
}

// Runs `read`, which returns a py::object, and turns what it throws into a Python exception.
template <class Read>
PyObject* guarded(Read read) {
    try {
        return read().release().ptr();
    } catch (py::error_already_set& error) {
        error.restore();
    } catch (py::builtin_exception& error) {
        error.set_error();
    } catch (const std::bad_alloc&) {
        PyErr_NoMemory();
    } catch (const std::exception& error) {
        PyErr_SetString(PyExc_RuntimeError, error.what());
    }
    return nullptr;
}

// A getter of one reading: `get(item)` when the item offers it (`has`), else None.
template <bool (KestCmdItem::*has)() const, class Get>
PyObject* reading(PyObject* self, Get get) {
    return guarded([&]() -> py::object {
        const KestCmdItem& item = value_of(self).get();
        return (item.*has)() ? py::cast(get(item)) : py::none();
    });
}

std::optional<KestItemSpan> span_of(const Value& value) {
    value.get();
    return value.state->positions.Find(*value.cmd, value.kind, value.index);
}

PyObject* get_kind(PyObject* self, void*) {
    return guarded([&] { return py::str(default_item_names[value_of(self).kind]); });
}

PyObject* get_text(PyObject* self, void*) {
    return guarded([&] {
        const KestCmdItem& item = value_of(self).get();
        const std::optional<std::string_view> kept = item.KeptText();
        return kept ? to_py(*kept) : to_py(item.GetString());
    });
}

// The line or the column where the value starts, or None.
PyObject* start(PyObject* self, std::size_t KestTextPosition::*part) {
    return guarded([&] {
        const auto span = span_of(value_of(self));
        return py::cast(span ? std::optional((span->value).*part) : std::nullopt);
    });
}

PyObject* get_line(PyObject* self, void*) {
    return start(self, &KestTextPosition::line);
}

PyObject* get_column(PyObject* self, void*) {
    return start(self, &KestTextPosition::column);
}

PyObject* get_int(PyObject* self, void*) {
    return reading<&KestCmdItem::HasInteger>(self,
                                             [](const KestCmdItem& i) { return i.GetInteger(); });
}

PyObject* get_real(PyObject* self, void*) {
    return reading<&KestCmdItem::HasReal>(self, [](const KestCmdItem& i) { return i.GetReal(); });
}

PyObject* get_vector(PyObject* self, void*) {
    return reading<&KestCmdItem::HasVector3d>(self, [](const KestCmdItem& i) {
        const auto v = i.GetVector3d();
        return std::make_tuple(v[0], v[1], v[2]);
    });
}

PyObject* get_enum(PyObject* self, void*) {
    return reading<&KestCmdItem::HasEnum>(
        self, [](const KestCmdItem& i) { return static_cast<int>(i.GetEnum()); });
}

PyObject* get_list(PyObject* self, void*) {
    return reading<&KestCmdItem::HasList>(self, [](const KestCmdItem& i) {
        std::vector<py::str> pieces;
        for (const std::string& piece : i.GetList()) {
            pieces.push_back(to_py(piece));
        }
        return pieces;
    });
}

PyObject* get_ints(PyObject* self, void*) {
    return reading<&KestCmdItem::HasLumoList>(
        self, [](const KestCmdItem& i) { return IntList{i.GetLumoList()}; });
}

PyObject* get_target(PyObject* self, void*) {
    return guarded([&]() -> py::object {
        const Value& value = value_of(self);
        const KestCmdItem& item = value.get();
        const KestCmd* target = item.HasReference() ? item.GetReference() : nullptr;
        return target != nullptr ? py::cast(Command{value.state, target}) : py::none();
    });
}

PyObject* str(PyObject* self) {
    return get_text(self, nullptr);
}

PyObject* repr(PyObject* self) {
    return guarded([&] {
        const py::object text = py::reinterpret_steal<py::object>(get_text(self, nullptr));
        if (!text) {
            throw py::error_already_set();
        }
        return py::str("<Value {} = {!r}>").format(default_item_names[value_of(self).kind], text);
    });
}

void dealloc(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    reinterpret_cast<ValueObject*>(self)->value.~Value();
    PyObject_Free(self);
    Py_DECREF(type);
}

PyGetSetDef getters[] = {
    {"kind", &get_kind, nullptr, "The item kind, e.g. 'GROUP' ('PLACEHOLDER' for an unknown key).",
     nullptr},
    {"text", &get_text, nullptr,
     "The value's text (upper-cased where the reader upper-cases values).", nullptr},
    {"line", &get_line, nullptr,
     "The line (from 1) where the value starts, or None for a value not read from text.", nullptr},
    {"column", &get_column, nullptr,
     "The column (from 1, in bytes) where the value starts, or None.", nullptr},
    {"int", &get_int, nullptr, "The integer reading, or None.", nullptr},
    {"real", &get_real, nullptr, "The real reading, or None.", nullptr},
    {"vector", &get_vector, nullptr, "The 3-vector reading as a tuple of three floats, or None.",
     nullptr},
    {"enum", &get_enum, nullptr,
     "The keyword reading as the keyword's number (several keywords share one), or None.", nullptr},
    {"list", &get_list, nullptr,
     "The pieces between commas, each without surrounding blanks, or None.", nullptr},
    {"ints", &get_ints, nullptr, "The integer-list reading as an IntList, or None.", nullptr},
    {"target", &get_target, nullptr, "The Command the value names (a reference), or None.",
     nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr}};

char doc[] = "One item of a command: its kind, its text as the reader stored it, where it "
             "stands in the text, and every reading the library types it into. A reading the "
             "value does not offer is None (v.int of 0.25). A Value keeps its job alive.";

PyType_Slot slots[] = {{Py_tp_dealloc, reinterpret_cast<void*>(&dealloc)},
                       {Py_tp_getset, getters},
                       {Py_tp_str, reinterpret_cast<void*>(&str)},
                       {Py_tp_repr, reinterpret_cast<void*>(&repr)},
                       {Py_tp_doc, doc},
                       {0, nullptr}};

PyType_Spec description = {"kestcmd.Value", sizeof(ValueObject), 0,
                           Py_TPFLAGS_DEFAULT | Py_TPFLAGS_DISALLOW_INSTANTIATION, slots};

} // namespace

py::object make_value(Value value) {
    ValueObject* self = PyObject_New(ValueObject, value_type);
    if (self == nullptr) {
        throw py::error_already_set();
    }
    new (&self->value) Value(std::move(value));
    return py::reinterpret_steal<py::object>(reinterpret_cast<PyObject*>(self));
}

void bind_value(py::module_& m) {
    value_type = reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&description));
    if (value_type == nullptr) {
        throw py::error_already_set();
    }
    m.add_object("Value",
                 py::reinterpret_steal<py::object>(reinterpret_cast<PyObject*>(value_type)));
    Py_INCREF(value_type); // the module's reference above is stolen; this one is make_value's
}

} // namespace kestpy
