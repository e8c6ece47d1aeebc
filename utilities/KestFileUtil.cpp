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
#if !defined(_WIN32)
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

// The wide form of a path in the platform's form, as the file helpers take it.
std::wstring wide_path(const std::filesystem::path& path) {
#if defined(_WIN32)
    return path.wstring();
#else
    return KestFileUtil::path_from_utf8(path.string());
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

void KestFileUtil::write_all_safely(const std::wstring& path, const std::string& text) {
    static std::atomic<unsigned> made{0};
    std::error_code error;
    // Through a symbolic link, the file it leads to is replaced and the link stays.
    std::wstring real = path;
    if (std::filesystem::is_symlink(native_path(path), error)) {
        const std::filesystem::path resolved = std::filesystem::canonical(native_path(path), error);
        real = error ? path : wide_path(resolved);
    }
    std::wstring temporary = real + L".kest-";
#if !defined(_WIN32)
    temporary += std::to_wstring(::getpid()) + L"-";
#endif
    temporary += std::to_wstring(made++);
    const auto fail = [&](int reason, const std::string& what) {
        std::error_code ignored;
        std::filesystem::remove(native_path(temporary), ignored);
        throw ZUL_Failure(ZUL_Code(reason), "[KestFileUtil] ",
                          "cannot " + what + " '" + display_path(path) +
                              "': " + std::generic_category().message(reason));
    };
    std::FILE* file = nullptr;
    try {
        file = wfopen(temporary, L"wb");
    } catch (const ZUL_Failure& failure) {
        fail(failure.GetCode().value(), "write"); // named by the path asked for
    }
    errno = 0;
    bool written =
        std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
#if !defined(_WIN32)
    written = written && ::fsync(::fileno(file)) == 0;
#endif
    int reason = errno != 0 ? errno : EIO;
    if (std::fclose(file) != 0 && written) {
        written = false;
        reason = errno != 0 ? errno : EIO;
    }
    if (!written) {
        fail(reason, "write");
    }
    const std::filesystem::path target = native_path(real);
    const auto status = std::filesystem::status(target, error);
    if (!error && std::filesystem::exists(status)) {
        std::filesystem::permissions(native_path(temporary), status.permissions(), error);
        if (error) {
            fail(error.value(), "keep the permissions of");
        }
    }
    std::filesystem::rename(native_path(temporary), target, error);
    if (error) {
        fail(error.value(), "replace");
    }
}
