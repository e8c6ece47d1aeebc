#include "errors.h"

#include "bindings.h"
#include "convert.h"

#include <KestCmdEngine.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include <sys/stat.h>

namespace py = pybind11;

namespace kestpy {

namespace {

// The exception types, made once by bind_errors and kept for the life of the process.
PyObject* parse_error = nullptr;
PyObject* edit_error = nullptr;

PyObject* new_error(py::module_& m, const char* name, const char* doc) {
    PyObject* type = PyErr_NewExceptionWithDoc((std::string("kestcmd.") + name).c_str(), doc,
                                               PyExc_ValueError, nullptr);
    if (type == nullptr) {
        throw py::error_already_set();
    }
    m.add_object(name, py::handle(type));
    return type;
}

// Sets the Python exception `type` with `message`, read as to_py reads bytes.
void set_error(PyObject* type, const char* message) {
    PyErr_SetObject(type, to_py(message).ptr());
}

} // namespace

std::string read_file(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file) {
        throw FileFailure{errno, path};
    }
    // A regular file is read in one call of its size, then whatever it grew by meanwhile.
    std::string text;
    struct stat status {};
    if (fstat(fileno(file.get()), &status) == 0 && S_ISREG(status.st_mode)) {
        text.resize(static_cast<std::size_t>(status.st_size));
        text.resize(std::fread(text.data(), 1, text.size(), file.get()));
    }
    char buffer[1 << 12];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        text.append(buffer, got);
    }
    if (std::ferror(file.get())) {
        throw FileFailure{errno, path};
    }
    return text;
}

FileFailure file_failure(const ZUL_Failure& failure, const std::string& path) {
    return FileFailure{failure.GetCode().value(), path};
}

ParseFailure parse_failure(const std::string& message, const std::string& path) {
    // The reader's messages start with "PATH:LINE: " where they know the line.
    ParseFailure failure{message, path, 0};
    const std::string prefix = path + ":";
    if (message.compare(0, prefix.size(), prefix) == 0) {
        std::size_t at = prefix.size();
        while (at < message.size() && message[at] >= '0' && message[at] <= '9') {
            failure.line = failure.line * 10 + static_cast<std::size_t>(message[at++] - '0');
        }
    }
    return failure;
}

void bind_errors(py::module_& m) {
    parse_error = new_error(m, "ParseError",
                            "A text the reader refuses (a value too large to hold). A ValueError "
                            "with `path` (what the job is called) and `line` (None when unknown).");
    edit_error = new_error(m, "EditError",
                           "A Document edit that cannot apply: its command or item has no line "
                           "in the text (completion made it), or its text would not read back "
                           "as the edit describes. A ValueError.");
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            std::rethrow_exception(thrown);
        } catch (const ParseFailure& failure) {
            py::object error =
                py::reinterpret_borrow<py::object>(parse_error)(to_py(failure.message));
            error.attr("path") = to_py(failure.path);
            error.attr("line") =
                failure.line == 0 ? py::object(py::none()) : py::object(py::int_(failure.line));
            PyErr_SetObject(parse_error, error.ptr());
        } catch (const FileFailure& failure) {
            errno = failure.error != 0 ? failure.error : EIO;
            PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, to_py(failure.path).ptr());
        } catch (const KestParBadAddress& bad) {
            set_error(PyExc_ValueError, bad.what());
        } catch (const KestParNamesNothing& nothing) {
            set_error(PyExc_KeyError, nothing.what());
        } catch (const KestParEditError& refused) {
            set_error(edit_error, refused.what());
        } catch (const ZUL_Failure& failure) {
            // OSError(errno, message) is the subclass of the reason (FileNotFoundError, ...).
            const int reason = failure.GetCode().exists() ? failure.GetCode().value() : EIO;
            PyErr_SetObject(PyExc_OSError, py::make_tuple(reason, to_py(failure.what())).ptr());
        }
    });
}

} // namespace kestpy
