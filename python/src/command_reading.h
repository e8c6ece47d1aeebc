// What a Command of a Job and a DocumentCommand of a Document read alike: the type, the name,
// the line and the values by key.
#pragma once

#include "convert.h"
#include "handles.h"

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

namespace kestpy {

/// Where the block of a command stands in its text, if it has one.
inline std::optional<KestCmdSpan> block_span(const Command& handle) {
    return handle.state->positions.Find(handle.get());
}
inline std::optional<KestCmdSpan> block_span(const DocumentCommand& handle) {
    return handle.doc->Positions().Find(handle.get());
}

/// The values of `kind` in the command of `handle`, in order.
template <class Handle>
pybind11::list values_of_kind(const Handle& handle, KestCmdItemDefs::CmdItem kind) {
    pybind11::list values;
    for (std::size_t i = 0; i < handle.get().ItemCount(kind); ++i) {
        values.append(make_value(Value{handle, kind, i}));
    }
    return values;
}

/// The item kinds the command of `handle` holds, in the order of the kinds.
template <class Handle>
std::vector<KestCmdItemDefs::CmdItem> kinds_of(const Handle& handle) {
    const KestCmd& cmd = handle.get();
    std::vector<KestCmdItemDefs::CmdItem> kinds;
    for (int k = 0; k < KestCmdItemDefs::item_kind_count; ++k) {
        if (cmd.HasItem(static_cast<KestCmdItemDefs::CmdItem>(k))) {
            kinds.push_back(static_cast<KestCmdItemDefs::CmdItem>(k));
        }
    }
    return kinds;
}

/// The first value of `key` (an item kind, any case) in the command of `handle`, if it has one.
template <class Handle>
std::optional<pybind11::object> first_value(const Handle& handle, const std::string& key) {
    const auto kind = kind_named(key);
    if (!kind || !handle.get().HasItem(*kind)) {
        return std::nullopt;
    }
    return make_value(Value{handle, *kind, 0});
}

/// Adds to `cls` what both kinds of command read alike.
template <class Handle>
void bind_command_reading(pybind11::class_<Handle>& cls) {
    namespace py = pybind11;
    cls.def_property_readonly(
           "type",
           [](const Handle& self) {
               return KestCmdDefs::get_default_cmd_names()[self.get().GetType()];
           },
           "The command type, e.g. 'CONSTRAINT' ('CMD_PLACEHOLDER' for an unknown keyword).")
        .def_property_readonly(
            "name",
            [](const Handle& self) -> std::optional<py::str> {
                const auto name = name_of(self.get());
                return name ? std::optional(to_py(*name)) : std::nullopt;
            },
            "The first ID_NAME text, or None.")
        .def_property_readonly(
            "line",
            [](const Handle& self) -> std::optional<std::size_t> {
                const auto span = block_span(self);
                return span ? std::optional(span->keyword.line) : std::nullopt;
            },
            "The line (from 1) of the block's keyword, or None for a command not read from "
            "text.")
        .def(
            "keys",
            [](const Handle& self) {
                std::vector<std::string> keys;
                for (const auto kind : kinds_of(self)) {
                    keys.push_back(KestCmdItemDefs::default_item_names[kind]);
                }
                return keys;
            },
            "The item kinds the command holds, in the order of the kinds (as the writer writes "
            "them).")
        .def(
            "items",
            [](const Handle& self) {
                py::list items;
                for (const auto kind : kinds_of(self)) {
                    items.append(py::make_tuple(KestCmdItemDefs::default_item_names[kind],
                                                make_value(Value{self, kind, 0})));
                }
                return items;
            },
            "(key, first value) for each kind, as keys() orders them.")
        .def(
            "__getitem__",
            [](const Handle& self, const Text& key) {
                auto value = first_value(self, key.bytes);
                if (!value) {
                    raise_error(PyExc_KeyError, key.bytes);
                }
                return *value;
            },
            py::arg("key"), "The first value of `key` (any case); KeyError when there is none.")
        .def(
            "get",
            [](const Handle& self, const Text& key, const py::object& fallback) {
                auto value = first_value(self, key.bytes);
                return value ? *value : fallback;
            },
            py::arg("key"), py::arg("default") = py::none(),
            "The first value of `key`, or `default` when there is none.")
        .def(
            "getall",
            [](const Handle& self, const Text& key) {
                return values_of_kind(self, kind_or_error(key.bytes));
            },
            py::arg("key"),
            "Every value of `key`, in order (an empty list when there are none; ValueError for "
            "a name of no item kind).")
        .def(
            "__contains__",
            [](const Handle& self, const Text& key) {
                const auto kind = kind_named(key.bytes);
                return kind && self.get().HasItem(*kind);
            },
            py::arg("key"));
}

} // namespace kestpy
