#include "utilities/KestFileUtil.h"

#include "utilities/ZUL_Exception.h"
#include "utilities/detail/KestInputFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include <sys/stat.h>
#if defined(_WIN32)
#include "utilities/detail/KestWindowsFiles.h"

#include <process.h>
#else
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>
#endif

namespace {

// UTF-8 of a wide path (UTF-16 on Windows, UTF-32 elsewhere). U+DC80 to U+DCFF stand for the
// bytes 0x80 to 0xFF that were no valid UTF-8 in a narrow path (see narrow_to_wide) and become
// those bytes again. Other code units that are no character (lone surrogates, values beyond
// U+10FFFF) become `bad`; false is returned if any did.
bool to_utf8(const std::wstring& wide, std::string& out, char bad) {
    bool valid = true;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = static_cast<char32_t>(wide[i]);
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
            const char32_t low = static_cast<char32_t>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xDC80 && c <= 0xDCFF) {
            out += static_cast<char>(c - 0xDC00);
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            out += bad;
            valid = false;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return valid;
}

// The length of the UTF-8 sequence at `p` (at most `left` bytes) and its code point, or 0 when
// the bytes there are no valid sequence.
std::size_t decode_utf8(const unsigned char* p, std::size_t left, char32_t& c) {
    const unsigned char b = p[0];
    const std::size_t n = b < 0x80         ? 1
                          : (b >> 5) == 6  ? 2
                          : (b >> 4) == 14 ? 3
                          : (b >> 3) == 30 ? 4
                                           : 0;
    if (n == 0 || n > left) {
        return 0;
    }
    c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t i = 1; i < n; ++i) {
        if ((p[i] >> 6) != 2) {
            return 0;
        }
        c = (c << 6) | (p[i] & 0x3F);
    }
    static const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0; // overlong, out of range or a surrogate
    }
    return n;
}

} // namespace

std::wstring KestFileUtil::path_from_utf8(const std::string& narrow) {
    std::wstring wide;
    const auto* p = reinterpret_cast<const unsigned char*>(narrow.data());
    for (std::size_t i = 0; i < narrow.size();) {
        char32_t c = 0;
        const std::size_t n = decode_utf8(p + i, narrow.size() - i, c);
        if (n == 0) {
            c = 0xDC00 + p[i]; // keep the byte, to be restored by wfopen
            ++i;
        } else {
            i += n;
        }
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(c);
        }
    }
    return wide;
}

namespace {

// The path in the platform's form: UTF-8 bytes on POSIX (whatever the locale), as wfopen uses.
std::filesystem::path native_path(const std::wstring& path) {
#if defined(_WIN32)
    return std::filesystem::path(path);
#else
    std::string narrow;
    to_utf8(path, narrow, '?');
    return std::filesystem::path(narrow);
#endif
}

} // namespace

std::string KestFileUtil::display_path(const std::wstring& path) {
    std::string shown;
    to_utf8(path, shown, '?');
    return shown;
}

std::FILE* KestFileUtil::wfopen(const std::wstring& path, const std::wstring& mode) {
    std::string narrow_mode;
    for (wchar_t c : mode) {
        narrow_mode += static_cast<char>(c);
    }
    std::FILE* file = nullptr;
    int reason = EINVAL;
#if defined(_WIN32)
    file = ::_wfopen(path.c_str(), mode.c_str());
    reason = errno;
#else
    // Narrow paths on this platform are UTF-8, whatever the program's locale.
    std::string narrow;
    if (to_utf8(path, narrow, '?') && narrow.find('\0') == std::string::npos) {
        errno = 0;
        file = std::fopen(std::filesystem::path(narrow).c_str(), narrow_mode.c_str());
        reason = errno;
    }
#endif
    if (file == nullptr) {
        throw ZUL_Failure(ZUL_Code(reason), "[KestFileUtil] ",
                          "cannot open '" + display_path(path) + "' (mode \"" + narrow_mode +
                              "\"): " + std::generic_category().message(reason));
    }
    return file;
}

std::string KestFileUtil::read_all(const std::wstring& path) {
    KestInputFile file(path);
    // The text is sized once from the size of a regular file. That size is only a hint: a file
    // may grow while it is read, so whatever follows is read on in chunks.
    std::string text(file.SizeHint(), '\0');
    text.resize(file.Read(text.data(), text.size()));
    char chunk[1 << 16];
    while (const std::size_t n = file.Read(chunk, sizeof chunk)) {
        text.append(chunk, n);
    }
    return text;
}

namespace {

// A step of safe writing that failed: the system's reason, and what could not be done.
struct WriteFailure {
    int reason;
    const char* what;
};

// The number of symbolic links followed to the file a path leads to, as the system follows them
// when it opens a path: one more is a loop.
constexpr int max_links = 40;

// The file that writing to `path` replaces: where its chain of symbolic links ends, a file that
// need not exist yet (a dangling link has its target made). Throws WriteFailure for a loop.
std::filesystem::path link_target(const std::wstring& path) {
    std::filesystem::path target = native_path(path);
    for (int followed = 0;; ++followed) {
        std::error_code error;
        if (!std::filesystem::is_symlink(target, error)) {
            return target;
        }
        if (followed == max_links) {
            throw WriteFailure{ELOOP, "write"};
        }
        const std::filesystem::path next = std::filesystem::read_symlink(target, error);
        if (error) {
            throw WriteFailure{error.value(), "write"};
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
}

#if defined(_WIN32)

// Writes `text` to the new file `temporary`, flushed to the disk, and renames it into the place
// of `target` in one step; the replaced file's attributes pass on (KestWindowsFiles::replace).
void replace_file(const std::filesystem::path& target, const std::filesystem::path& temporary,
                  const std::string& text) {
    std::FILE* file = ::_wfopen(temporary.c_str(), L"wb");
    if (file == nullptr) {
        throw WriteFailure{errno, "write"};
    }
    errno = 0;
    bool written =
        std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
    WriteFailure failure{written ? 0 : errno != 0 ? errno : EIO, "write"};
    if (failure.reason == 0) {
        failure.reason = KestWindowsFiles::flush_to_disk(file);
    }
    if (std::fclose(file) != 0 && failure.reason == 0) {
        failure.reason = errno != 0 ? errno : EIO;
    }
    if (failure.reason == 0) {
        failure = {KestWindowsFiles::replace(temporary.wstring(), target.wstring()), "replace"};
    }
    if (failure.reason != 0) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw failure;
    }
}

#else

// Holds SIGXFSZ back from the calling thread while it lives, so that a write beyond the file-size
// limit fails with EFBIG instead of ending the process; a SIGXFSZ raised meanwhile is taken
// back, one that was pending before is left for the caller.
class FileSizeSignalHeld {
  public:
    FileSizeSignalHeld() {
        sigemptyset(&_signal);
        sigaddset(&_signal, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &_signal, &_before);
        _was_pending = pending();
    }
    ~FileSizeSignalHeld() {
        if (!_was_pending && pending()) {
            const timespec now{0, 0};
            sigtimedwait(&_signal, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &_before, nullptr);
    }
    FileSizeSignalHeld(const FileSizeSignalHeld&) = delete;
    FileSizeSignalHeld& operator=(const FileSizeSignalHeld&) = delete;

  private:
    static bool pending() {
        sigset_t set;
        return sigpending(&set) == 0 && sigismember(&set, SIGXFSZ) == 1;
    }

    sigset_t _signal;
    sigset_t _before;
    bool _was_pending = false;
};

// Writes all of `text` to `file`; 0 or the reason it failed.
int write_whole(int file, const std::string& text) {
    const FileSizeSignalHeld held;
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(file, text.data() + done, text.size() - done);
        if (n < 0 && errno != EINTR) {
            return errno;
        }
        done += n < 0 ? 0 : static_cast<std::size_t>(n);
    }
    return 0;
}

// Gives the new file `file` the owner, group and mode of the file it replaces, `old`: owner and
// group as far as the process may set them (root may give any; others keep their own, or give a
// group of theirs), then the mode, since a change of owner clears the set-user-ID bits.
int keep_owner_and_mode(int file, const struct stat& old) {
    if (::fchown(file, old.st_uid, old.st_gid) != 0) {
        static_cast<void>(::fchown(file, static_cast<uid_t>(-1), old.st_gid));
    }
    return ::fchmod(file, old.st_mode & 07777) == 0 ? 0 : errno;
}

// Writes `text` into `path`, a file that is no regular one (a device, a pipe): no file can take
// its place, so the text goes into it.
void write_into(const std::filesystem::path& path, const std::string& text) {
    const int file = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (file < 0) {
        throw WriteFailure{errno, "write"};
    }
    int reason = write_whole(file, text);
    if (::close(file) != 0 && reason == 0) {
        reason = errno;
    }
    if (reason != 0) {
        throw WriteFailure{reason, "write"};
    }
}

// Writes `text` to the new file `temporary`, flushed to the disk, gives it the owner, group and
// mode of `target` and renames it into its place. A target the process may not write is refused,
// as opening it to write would be: the folder's permission to rename is not the file's to write.
void replace_file(const std::filesystem::path& target, const std::filesystem::path& temporary,
                  const std::string& text) {
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        throw WriteFailure{errno, "write"};
    }
    // Readable by the owner alone until it has the target's owner and mode.
    const int file =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
    if (file < 0) {
        throw WriteFailure{errno, "write"};
    }
    WriteFailure failure{write_whole(file, text), "write"};
    if (failure.reason == 0 && ::fsync(file) != 0) {
        failure.reason = errno;
    }
    if (failure.reason == 0 && exists) {
        failure = {keep_owner_and_mode(file, old), "keep the permissions of"};
    }
    if (::close(file) != 0 && failure.reason == 0) {
        failure = {errno, "write"};
    }
    if (failure.reason == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        failure = {errno, "replace"};
    }
    if (failure.reason != 0) {
        ::unlink(temporary.c_str());
        throw failure;
    }
}

#endif

} // namespace

void KestFileUtil::write_all_safely(const std::wstring& path, const std::string& text) {
    static std::atomic<unsigned> made{0};
    try {
#if !defined(_WIN32)
        struct stat existing {};
        const std::filesystem::path asked = native_path(path);
        if (::stat(asked.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
            !S_ISDIR(existing.st_mode)) {
            write_into(asked, text);
            return;
        }
#endif
        const std::filesystem::path target = link_target(path);
        std::filesystem::path temporary = target;
        temporary += ".kest-";
#if defined(_WIN32)
        temporary += std::to_string(::_getpid()) + "-";
#else
        temporary += std::to_string(::getpid()) + "-";
#endif
        temporary += std::to_string(made++);
        replace_file(target, temporary, text);
    } catch (const WriteFailure& failure) {
        throw ZUL_Failure(ZUL_Code(failure.reason), "[KestFileUtil] ",
                          std::string("cannot ") + failure.what + " '" + display_path(path) +
                              "': " + std::generic_category().message(failure.reason));
    }
}
