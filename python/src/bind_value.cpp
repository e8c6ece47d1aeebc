// Value: one item of a command, with its text, its place in the text and every typed reading,
// each as an Optional property and as a method that raises ValueError when the value does not
// offer it; float(), int(), str() and == by reading.
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

const KestCmd& Value::command() const {
    return std::visit([](const auto& owner) -> const KestCmd& { return owner.get(); }, owner);
}

const KestCmdItem& Value::get() const {
    const KestCmd& cmd = command();
    if (index >= cmd.ItemCount(kind)) {
        throw std::runtime_error("the item is no longer in its command");
    }
    return cmd.Item(kind, index);
}

std::optional<KestItemSpan> Value::span() const {
    const KestCmd& cmd = command();
    if (const auto* job = std::get_if<Command>(&owner)) {
        return job->state->positions.Find(cmd, kind, index);
    }
    return std::get<DocumentCommand>(owner).doc->Positions().Find(cmd, kind, index);
}

const std::string& Value::source() const {
    if (const auto* job = std::get_if<Command>(&owner)) {
        return job->state->name;
    }
    return std::get<DocumentCommand>(owner).doc->Name();
}

DocumentCommand document_command(const DocPtr& doc, const KestCmd& cmd) {
    return DocumentCommand{doc, doc->RefOf(cmd)};
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

// The text as the reader stored it.
py::str text_of(const KestCmdItem& item) {
    const std::optional<std::string_view> kept = item.KeptText();
    return kept ? to_py(*kept) : to_py(item.GetString());
}

// One typed reading: its name (the property's), whether an item offers it, and its value.
struct Reading {
    const char* name;
    bool (*has)(const KestCmdItem&);
    py::object (*get)(const Value&, const KestCmdItem&);
    const char* doc;
};

const Reading readings[] = {
    {"int", [](const KestCmdItem& i) { return i.HasInteger(); },
     [](const Value&, const KestCmdItem& i) -> py::object { return py::int_(i.GetInteger()); },
     "The integer reading, or None."},
    {"real", [](const KestCmdItem& i) { return i.HasReal(); },
     [](const Value&, const KestCmdItem& i) -> py::object { return py::float_(i.GetReal()); },
     "The real reading, or None."},
    {"vector", [](const KestCmdItem& i) { return i.HasVector3d(); },
     [](const Value&, const KestCmdItem& i) -> py::object {
         const auto v = i.GetVector3d();
         return py::make_tuple(v[0], v[1], v[2]);
     },
     "The 3-vector reading as a tuple of three floats, or None."},
    {"enum", [](const KestCmdItem& i) { return i.HasEnum(); },
     [](const Value&, const KestCmdItem& i) -> py::object {
         return py::int_(static_cast<int>(i.GetEnum()));
     },
     "The keyword reading as the keyword's number (several keywords share one), or None."},
    {"list", [](const KestCmdItem& i) { return i.HasList(); },
     [](const Value&, const KestCmdItem& i) -> py::object {
         py::list pieces;
         for (const std::string& piece : i.GetList()) {
             pieces.append(to_py(piece));
         }
         return std::move(pieces);
     },
     "The pieces between commas, each without surrounding blanks, or None."},
    {"ints", [](const KestCmdItem& i) { return i.HasLumoList(); },
     [](const Value&, const KestCmdItem& i) -> py::object {
         return py::cast(IntList{i.GetLumoList()});
     },
     "The integer-list reading as an IntList, or None."},
    {"target", [](const KestCmdItem& i) { return i.HasReference() && i.GetReference() != nullptr; },
     [](const Value& value, const KestCmdItem& i) -> py::object {
         if (const auto* job = std::get_if<Command>(&value.owner)) {
             return py::cast(Command{job->state, i.GetReference()});
         }
         return py::cast(
             document_command(std::get<DocumentCommand>(value.owner).doc, *i.GetReference()));
     },
     "The command the value names (a reference), or None: a Command of a Job, a "
     "DocumentCommand of a Document."},
};

constexpr std::size_t reading_count = sizeof readings / sizeof readings[0];

// `NAME.KIND` (the command's type for a command without a name), for messages.
std::string place_of(const Value& value) {
    const KestCmd& cmd = value.command();
    const auto name = name_of(cmd);
    return (name ? *name : KestCmdDefs::get_default_cmd_names()[cmd.GetType()]) + "." +
           default_item_names[value.kind] +
           (value.index > 0 ? "[" + std::to_string(value.index) + "]" : std::string());
}

// The ValueError of a value without the reading `wanted`: where it stands, its text and the
// readings it has.
py::value_error no_reading(const Value& value, const KestCmdItem& item, const char* wanted) {
    std::string has;
    for (const Reading& r : readings) {
        if (r.has(item)) {
            has += (has.empty() ? "" : ", ") + std::string(r.name);
        }
    }
    const auto span = value.span();
    return py::value_error(
        value.source() + (span ? ":" + std::to_string(span->value.line) : std::string()) + ": " +
        place_of(value) + " '" + std::string(text_of(item)) + "' has no " + wanted + " reading (" +
        (has.empty() ? "it has none" : "it reads as " + has) + ")");
}

PyObject* get_reading(PyObject* self, void* closure) {
    return guarded([&]() -> py::object {
        const Reading& r = *static_cast<const Reading*>(closure);
        const Value& value = value_of(self);
        const KestCmdItem& item = value.get();
        return r.has(item) ? r.get(value, item) : py::none();
    });
}

template <std::size_t R>
PyObject* as_reading(PyObject* self, PyObject*) {
    return guarded([&]() -> py::object {
        const Value& value = value_of(self);
        const KestCmdItem& item = value.get();
        if (!readings[R].has(item)) {
            throw no_reading(value, item, readings[R].name);
        }
        return readings[R].get(value, item);
    });
}

template <std::size_t R>
PyObject* as_reading_slot(PyObject* self) {
    return as_reading<R>(self, nullptr);
}

PyObject* get_kind(PyObject* self, void*) {
    return guarded([&] { return py::str(default_item_names[value_of(self).kind]); });
}

PyObject* get_text(PyObject* self, void*) {
    return guarded([&] { return text_of(value_of(self).get()); });
}

PyObject* str(PyObject* self) {
    return get_text(self, nullptr);
}

// The line or the column where the value starts, or None.
PyObject* start(PyObject* self, std::size_t KestTextPosition::*part) {
    return guarded([&] {
        const Value& value = value_of(self);
        value.get();
        const auto span = value.span();
        return py::cast(span ? std::optional((span->value).*part) : std::nullopt);
    });
}

PyObject* get_line(PyObject* self, void*) {
    return start(self, &KestTextPosition::line);
}

PyObject* get_column(PyObject* self, void*) {
    return start(self, &KestTextPosition::column);
}

// Whether the value equals `other` by reading: a number its real reading, a str its text, an
// IntList its integer-list reading, another Value its real reading when both have one, else its
// text. None for another type.
std::optional<bool> equals(const Value& value, py::handle other) {
    const KestCmdItem& item = value.get();
    PyObject* o = other.ptr();
    if (PyBool_Check(o)) {
        return std::nullopt;
    }
    if (PyLong_Check(o) || PyFloat_Check(o)) {
        return item.HasReal() &&
               py::float_(item.GetReal()).equal(py::reinterpret_borrow<py::object>(other));
    }
    if (PyIndex_Check(o)) { // an integer of another type (numpy's), unless it is an array
        const auto number = py::reinterpret_steal<py::object>(PyNumber_Index(o));
        if (!number) {
            PyErr_Clear();
            return std::nullopt;
        }
        return item.HasReal() && py::float_(item.GetReal()).equal(number);
    }
    if (PyUnicode_Check(o)) {
        return text_of(item).equal(py::reinterpret_borrow<py::object>(other));
    }
    if (py::isinstance<IntList>(other)) {
        return item.HasLumoList() && py::cast(IntList{item.GetLumoList()})
                                         .equal(py::reinterpret_borrow<py::object>(other));
    }
    if (Py_TYPE(o) == value_type) {
        const KestCmdItem& theirs = value_of(o).get();
        if (item.HasReal() && theirs.HasReal()) {
            return item.GetReal() == theirs.GetReal();
        }
        return text_of(item).equal(text_of(theirs));
    }
    return std::nullopt;
}

PyObject* compare(PyObject* self, PyObject* other, int op) {
    if (op != Py_EQ && op != Py_NE) {
        Py_RETURN_NOTIMPLEMENTED;
    }
    return guarded([&]() -> py::object {
        const std::optional<bool> equal = equals(value_of(self), other);
        if (!equal) {
            return py::reinterpret_borrow<py::object>(Py_NotImplemented);
        }
        return py::bool_(*equal == (op == Py_EQ));
    });
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

// The getters: kind, text, line, column, then one per reading.
PyGetSetDef getters[5 + reading_count] = {
    {"kind", &get_kind, nullptr, "The item kind, e.g. 'GROUP' ('PLACEHOLDER' for an unknown key).",
     nullptr},
    {"text", &get_text, nullptr,
     "The value's text (upper-cased where the reader upper-cases values).", nullptr},
    {"line", &get_line, nullptr,
     "The line (from 1) where the value starts, or None for a value not read from text.", nullptr},
    {"column", &get_column, nullptr,
     "The column (from 1, in bytes) where the value starts, or None.", nullptr},
};

PyMethodDef methods[] = {
    {"as_int", &as_reading<0>, METH_NOARGS,
     "The integer reading; ValueError (with the file, the line and the readings the value has) "
     "when there is none."},
    {"as_real", &as_reading<1>, METH_NOARGS, "The real reading; ValueError when there is none."},
    {"as_vector", &as_reading<2>, METH_NOARGS,
     "The 3-vector reading; ValueError when there is none."},
    {"as_enum", &as_reading<3>, METH_NOARGS, "The keyword reading; ValueError when there is none."},
    {"as_list", &as_reading<4>, METH_NOARGS, "The list reading; ValueError when there is none."},
    {"as_ints", &as_reading<5>, METH_NOARGS,
     "The integer-list reading; ValueError when there is none."},
    {"as_target", &as_reading<6>, METH_NOARGS,
     "The command the value names; ValueError when it names none."},
    // Value[Command] and Value[DocumentCommand] in annotations, as the type stubs describe it.
    {"__class_getitem__", &Py_GenericAlias, METH_O | METH_CLASS,
     "The generic alias of Value for a command type."},
    {nullptr, nullptr, 0, nullptr}};

char doc[] = "One item of a command: its kind, its text as the reader stored it, where it "
             "stands in the text, and every reading the library types it into. A reading the "
             "value does not offer is None (v.int of 0.25); as_int() and the other as_ methods "
             "raise ValueError instead, as float(v) and int(v) do. v == 0.3 and v == '0.3' "
             "compare by reading (a number with the real reading, a str with the text), so "
             "Values are not hashable. A Value keeps its job or document alive; a Value of a "
             "Document shows the item in its place as the text is now.";

PyType_Slot slots[] = {{Py_tp_dealloc, reinterpret_cast<void*>(&dealloc)},
                       {Py_tp_getset, getters},
                       {Py_tp_methods, methods},
                       {Py_tp_str, reinterpret_cast<void*>(&str)},
                       {Py_tp_repr, reinterpret_cast<void*>(&repr)},
                       {Py_tp_richcompare, reinterpret_cast<void*>(&compare)},
                       {Py_tp_hash, reinterpret_cast<void*>(&PyObject_HashNotImplemented)},
                       {Py_nb_int, reinterpret_cast<void*>(&as_reading_slot<0>)},
                       {Py_nb_float, reinterpret_cast<void*>(&as_reading_slot<1>)},
                       {Py_tp_doc, doc},
                       {0, nullptr}};

PyType_Spec description = {"kestcmd.Value", sizeof(ValueObject), 0,
                           Py_TPFLAGS_DEFAULT | Py_TPFLAGS_DISALLOW_INSTANTIATION, slots};

} // namespace

const Value* value_in(py::handle object) {
    return Py_TYPE(object.ptr()) == value_type ? &value_of(object.ptr()) : nullptr;
}

std::string value_text_of(const Value& value) {
    return from_py(text_of(value.get()));
}

py::object make_value(Value value) {
    ValueObject* self = PyObject_New(ValueObject, value_type);
    if (self == nullptr) {
        throw py::error_already_set();
    }
    new (&self->value) Value(std::move(value));
    return py::reinterpret_steal<py::object>(reinterpret_cast<PyObject*>(self));
}

void bind_value(py::module_& m) {
    for (std::size_t r = 0; r < reading_count; ++r) {
        getters[4 + r] = {readings[r].name, &get_reading, nullptr, readings[r].doc,
                          const_cast<Reading*>(&readings[r])};
    }
    value_type = reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&description));
    if (value_type == nullptr) {
        throw py::error_already_set();
    }
    m.add_object("Value",
                 py::reinterpret_steal<py::object>(reinterpret_cast<PyObject*>(value_type)));
    Py_INCREF(value_type); // the module's reference above is stolen; this one is make_value's
}

} // namespace kestpy
