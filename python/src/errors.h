// The failures of the module and the Python exceptions they become.
#pragma once

#include <KestCmdEngine.h>
#include <pybind11/pybind11.h>

#include <cstddef>
#include <string>

namespace kestpy {

/// A text the reader refuses (a value too large to hold): kestcmd.ParseError, a ValueError with
/// the path and the line (0 when the message names none).
struct ParseFailure {
    std::string message;
    std::string path;
    std::size_t line = 0;
};

/// A file that cannot be opened, read or written: the OSError of `error` (an errno value), so
/// that a missing file is a FileNotFoundError.
struct FileFailure {
    int error = 0;
    std::string path;
};

/// The FileFailure of a failure of the library's file helpers (`failure`'s code) at `path`.
FileFailure file_failure(const ZUL_Failure& failure, const std::string& path);

/// The bytes of the file at `path` (UTF-8, or the bytes the system uses); throws FileFailure.
std::string read_file(const std::string& path);

/// The ParseFailure of a reader failure whose message is `message`, for the text called `path`.
ParseFailure parse_failure(const std::string& message, const std::string& path);

} // namespace kestpy
