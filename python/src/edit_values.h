// The texts that Document edits write for Python values, and the keys a block may hold.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

namespace kestpy {

/// The value text of `value` for a document's line: a str as it is; an int (or an integer such
/// as numpy's) or a finite float as str() writes it; an IntList, or an array or iterable of
/// ints, in compact notation ("1-3,7"); an iterable of names as "A, B". TypeError for another
/// type, ValueError for a text of more than one line, a name holding ',' or a float that is no
/// finite number.
std::string edit_text(pybind11::handle value);

/// Whether `key` (any case) is a key a block may hold: an item kind, or a key the reader gives a
/// meaning of its own (LE_VALUE, DEF_TYPE, ...).
bool known_key(const std::string& key);

} // namespace kestpy
