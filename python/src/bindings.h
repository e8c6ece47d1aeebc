// The functions that add the module's classes and functions, one file each.
#pragma once

#include <pybind11/pybind11.h>

namespace kestpy {

/// ParseError and EditError, and the translation of the library's exceptions: ParseFailure,
/// FileFailure (errors.h), KestParBadAddress (ValueError), KestParNamesNothing (KeyError),
/// KestParEditError (EditError), ZUL_Failure (the OSError of its code, with its message).
void bind_errors(pybind11::module_& m);
/// KestWarning, which the library's warnings become (library_warnings.h).
void bind_warnings(pybind11::module_& m);
void bind_int_list(pybind11::module_& m);
void bind_value(pybind11::module_& m);
void bind_command(pybind11::module_& m);
void bind_document_command(pybind11::module_& m);
void bind_check(pybind11::module_& m);
void bind_job(pybind11::module_& m);
void bind_document(pybind11::module_& m);

} // namespace kestpy
