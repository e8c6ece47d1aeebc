// Reading a whole file into memory of its own, a large one in pieces on threads.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace KestFileReading {

/// A file's content: in `text` when read as KestFileUtil::read_all reads, else in `pieces`.
struct Bytes {
    std::string text;
    std::unique_ptr<char[]> pieces;
    std::size_t size = 0;

    std::string_view view() const {
        return pieces != nullptr ? std::string_view(pieces.get(), size) : std::string_view(text);
    }
};

/// What KestFileUtil::read_all(path) reads, with its failures. A regular file is read into
/// memory that is not cleared first, in one piece per `bytes_per_thread` bytes up to one per
/// thread of `threads` (0: one per core), each piece on a thread of its own; a file that changes
/// size meanwhile, or fails a piece, is read again by read_all.
Bytes read(const std::wstring& path, std::size_t threads, std::size_t bytes_per_thread);

} // namespace KestFileReading
