// A C stream whose bytes a test reads back, for tests and fuzz targets.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace test_support {

/// A C stream whose bytes a test reads back: in memory where the C library has memory streams,
/// else in a temporary file opened in binary mode.
class CapturedStream {
  public:
    CapturedStream() {
#if defined(_WIN32)
        _stream = std::tmpfile();
#else
        _stream = open_memstream(&_buffer, &_size);
#endif
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
