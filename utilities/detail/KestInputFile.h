// A file read from its start to its end, a piece at a time: for a reader that needs only a
// stretch of a large file at once, and for KestFileUtil::read_all.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

class KestInputFile {
  public:
    /// Opens the file at `path`; throws ZUL_Failure naming the path and the system's reason, as
    /// KestFileUtil::wfopen does, when it cannot.
    explicit KestInputFile(const std::wstring& path);

    /// The size of a regular file when it was opened, else 0: a hint only, since a file may
    /// grow or shrink while it is read.
    std::size_t SizeHint() const;
    /// Reads the next bytes of the file into `into`, at most `most`: how many, 0 only at the
    /// end of the file. Throws ZUL_Failure naming the path and the reason when reading fails.
    std::size_t Read(char* into, std::size_t most);

  private:
    std::wstring _path;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> _file;
};
