// The findings of check as Python objects (kestcmd.Diagnostic), and check's settings from the
// arguments of check().
#pragma once

#include <KestCmdEngine.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace kestpy {

/// The settings to check a job called `name` with: those of the settings file found from its
/// folder, with `schema` (None, a dict in the shape of a schema file, or a path) and the codes
/// of `ignore` (an iterable of str) laid over them. Raises ValueError for a schema that cannot
/// be used.
KestParCheckSettings check_settings(const std::string& name, const pybind11::object& schema,
                                    const pybind11::object& ignore);

/// The findings check_par_document made in the text of `path`, as a list of Diagnostic.
pybind11::list diagnostics(const std::vector<KestParDiagnostic>& found, const std::string& path);

} // namespace kestpy
