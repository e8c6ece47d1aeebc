// Opening files by wide path, with failures that name the file and the operating system's reason.
#pragma once

#include "utilities/KestUtilitiesExport.h"

#include <cstdio>
#include <string>

/// File helpers.
class KEST_UTILITIES_API KestFileUtil {
  public:
    /// Opens `path` with the C `fopen` `mode` ("w", "rb", ...) and returns the open stream, which
    /// the caller closes with `fclose`. The wide path is converted to the platform's native form.
    /// Throws ZUL_Failure, whose message names the path and the operating system's reason, when
    /// the file cannot be opened; never returns null.
    static std::FILE* wfopen(const std::wstring& path, const std::wstring& mode);

    /// The whole content of the file at `path`, read in one go (the buffer is sized from the
    /// file's size when the file has one). Throws ZUL_Failure, as wfopen does, when the file
    /// cannot be opened or read.
    static std::string read_all(const std::wstring& path);

    /// Writes `text` to `path` so that the file holds either its old content or all of `text`,
    /// never a part: into a new file beside it, flushed to the disk, which then takes its place
    /// with its mode, and its owner and group as far as the process may give them. A file the
    /// process may not write is refused, as opening it to write would be. Through symbolic links,
    /// the file the last one leads to is replaced, or made when it does not exist, and the links
    /// stay. A pipe or a device is written into. Beyond a file-size limit the write fails with
    /// EFBIG (SIGXFSZ is held back from the thread meanwhile). Throws ZUL_Failure naming the path
    /// and the reason, with the system's error number as its code; the file at `path` is then as
    /// it was, and nothing is left beside it.
    static void write_all_safely(const std::wstring& path, const std::string& text);

    /// The path as UTF-8 text, for messages; code units that are no character show as "?".
    static std::string display_path(const std::wstring& path);

    /// The wide form of a narrow path in UTF-8 (as programs get it from their command line).
    /// Bytes that are no valid UTF-8 are kept as U+DC80 to U+DCFF, which wfopen turns back into
    /// the same bytes, so any narrow path opens the same file.
    static std::wstring path_from_utf8(const std::string& narrow);
};
