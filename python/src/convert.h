// Texts between C++ and Python, and command types and item kinds by name.
#pragma once

#include <KestCmdEngine.h>
#include <pybind11/pybind11.h>

#include <optional>
#include <string>
#include <string_view>

namespace kestpy {

/// Bytes as a str: UTF-8, any other byte kept as a lone surrogate (as os.fsdecode keeps it), so
/// that from_py gives the same bytes back.
pybind11::str to_py(std::string_view bytes);
/// A str as bytes, the reverse of to_py; throws TypeError for anything but a str.
std::string from_py(pybind11::handle text);

/// A str argument (a name, an address, a key) as the bytes from_py makes of it, so that a name
/// read from a file that is no UTF-8 can be given back as it came.
struct Text {
    std::string bytes;
};

/// Raises the Python exception `type` with `message`, its bytes read as to_py reads them.
[[noreturn]] void raise_error(PyObject* type, std::string_view message);

/// The bytes of a path given as a str, bytes or os.PathLike (as os.fsencode makes them).
std::string path_bytes(pybind11::handle path);

/// The text of one value given to an edit: a str, an int, a float or an IntList (as str() writes
/// them); TypeError for another type, ValueError for a text of more than one line.
std::string value_text(pybind11::handle value);

/// The command type whose keyword is `name`, in any case; ValueError for none.
KestCmdDefs::Cmd type_named(std::string_view name);
/// The item kind whose key is `name`, in any case, if there is one.
std::optional<KestCmdItemDefs::CmdItem> kind_named(std::string_view name);
/// kind_named, with ValueError for a name of no item kind.
KestCmdItemDefs::CmdItem kind_or_error(std::string_view name);

/// The first ID_NAME text of `cmd`, if it has one.
std::optional<std::string> name_of(const KestCmd& cmd);

} // namespace kestpy

namespace pybind11::detail {

/// Text arguments: any str; a lone surrogate that stands for no byte is a UnicodeEncodeError.
template <>
struct type_caster<kestpy::Text> {
    PYBIND11_TYPE_CASTER(kestpy::Text, const_name("str"));

    bool load(handle source, bool) {
        if (!PyUnicode_Check(source.ptr())) {
            return false;
        }
        value.bytes = kestpy::from_py(source);
        return true;
    }
};

} // namespace pybind11::detail
