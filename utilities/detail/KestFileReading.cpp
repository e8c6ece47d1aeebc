#include "utilities/detail/KestFileReading.h"

#include "utilities/KestFileUtil.h"
#include "utilities/detail/KestThreads.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <new>

#include <sys/stat.h>
#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace KestFileReading {

#if defined(_WIN32)

Bytes read(const std::wstring& path, std::size_t, std::size_t) {
    Bytes bytes;
    bytes.text = KestFileUtil::read_all(path);
    return bytes;
}

#else

namespace {

// Reads [begin, end) of the file into `into`; false when the file ends early or fails.
bool read_piece(int fd, char* into, std::size_t begin, std::size_t end) {
    while (begin < end) {
        const ssize_t n = ::pread(fd, into + begin, end - begin, static_cast<off_t>(begin));
        if (n <= 0) {
            return false;
        }
        begin += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

Bytes read(const std::wstring& path, std::size_t threads, std::size_t bytes_per_thread) {
    Bytes bytes;
    // wfopen names the file and the reason when it cannot be opened.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(KestFileUtil::wfopen(path, L"rb"),
                                                               &std::fclose);
    const int fd = ::fileno(file.get());
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        const auto size = static_cast<std::size_t>(info.st_size);
        bytes.pieces.reset(new (std::nothrow) char[size]);
        if (bytes.pieces != nullptr) {
            const std::size_t pieces =
                std::clamp<std::size_t>(size / std::max<std::size_t>(bytes_per_thread, 1), 1,
                                        KestThreads::resolve(threads));
            std::atomic<bool> whole{true};
            KestThreads::run(pieces, pieces, [&](std::size_t p) {
                if (!read_piece(fd, bytes.pieces.get(), size * p / pieces,
                                size * (p + 1) / pieces)) {
                    whole = false;
                }
            });
            // Nothing may follow: a file that grew is read again, as one that shrank or failed.
            char after = 0;
            if (whole && ::pread(fd, &after, 1, static_cast<off_t>(size)) == 0) {
                bytes.size = size;
                return bytes;
            }
            bytes.pieces.reset();
        }
    }
    bytes.text = KestFileUtil::read_all(path);
    return bytes;
}

#endif

} // namespace KestFileReading
