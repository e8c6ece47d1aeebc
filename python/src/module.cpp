// The native part of the kestcmd package; kestcmd/__init__.py re-exports it.
#include "bindings.h"

PYBIND11_MODULE(_kestcmd, m) {
    m.doc() = "Structural-optimisation jobs: read, complete, check, write and edit them.";
    // The classes a function returns are bound before the functions.
    kestpy::bind_errors(m);
    kestpy::bind_warnings(m);
    kestpy::bind_int_list(m);
    kestpy::bind_value(m);
    kestpy::bind_command(m);
    kestpy::bind_document_command(m);
    kestpy::bind_check(m);
    kestpy::bind_job(m);
    kestpy::bind_document(m);
    // Classes and messages name the package, not its native part.
    for (const char* name :
         {"IntList", "Command", "DocumentCommand", "Diagnostic", "Job", "Document"}) {
        m.attr(name).attr("__module__") = "kestcmd";
    }
}
