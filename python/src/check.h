// The problems of a job's text as Python objects (kestcmd.Diagnostic).
#pragma once

#include <KestCmdEngine.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace kestpy {

/// The problems check_par_document finds in `document`, as a list of Diagnostic; `path` is what
/// the job is called.
pybind11::list diagnostics(const std::vector<KestParDiagnostic>& found, const std::string& path);

} // namespace kestpy
