// A C stream whose bytes a test reads back, for tests and fuzz targets.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#if defined(_WIN32)
#include <atomic>
#include <filesystem>
#include <process.h>
#endif

namespace test_support {

/// A C stream whose bytes a test reads back: in memory where the C library has memory streams,
/// else in a temporary file opened in binary mode, deleted when closed. (Not `tmpfile`: the C
/// runtime's names for it are the same in each process, so that test programs run side by side
/// took each other's files.)
class CapturedStream {
  public:
    CapturedStream() {
#if defined(_WIN32)
        static std::atomic<unsigned> made{0};
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() /
            ("kest-captured-" + std::to_string(_getpid()) + "-" + std::to_string(made++));
        _stream = _wfopen(path.c_str(), L"w+bD");
#else
        _stream = open_memstream(&_buffer, &_size);
#endif
        if (_stream == nullptr) {
            throw std::runtime_error("no stream to capture output in");
        }
    }
    ~CapturedStream() {
        std::fclose(_stream);
        std::free(_buffer);
    }
    CapturedStream(const CapturedStream&) = delete;
    CapturedStream& operator=(const CapturedStream&) = delete;

    std::FILE* get() const {
        return _stream;
    }

    /// Every byte written so far.
    std::string text() const {
        std::fflush(_stream);
#if defined(_WIN32)
        std::string bytes(static_cast<std::size_t>(std::ftell(_stream)), '\0');
        std::rewind(_stream);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), _stream));
        std::fseek(_stream, 0, SEEK_END);
        return bytes;
#else
        return std::string(_buffer, _size);
#endif
    }

  private:
    std::FILE* _stream = nullptr;
    char* _buffer = nullptr;
    std::size_t _size = 0;
};

} // namespace test_support
