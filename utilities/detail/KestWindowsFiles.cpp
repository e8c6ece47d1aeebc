#include "utilities/detail/KestWindowsFiles.h"

#include <cerrno>

#include <io.h>
#include <windows.h>

namespace KestWindowsFiles {

namespace {

// The errno value nearest to a Windows error code.
int reason_of(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    default:
        return EIO;
    }
}

} // namespace

int flush_to_disk(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    return ::FlushFileBuffers(handle) ? 0 : reason_of(::GetLastError());
}

int replace(const std::wstring& replacement, const std::wstring& target) {
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return EACCES; // as opening the file to write it would be refused
        }
        constexpr DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        if ((attributes & kept) != 0 &&
            !::SetFileAttributesW(replacement.c_str(), attributes & kept)) {
            return reason_of(::GetLastError());
        }
    }
    return ::MoveFileExW(replacement.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : reason_of(::GetLastError());
}

} // namespace KestWindowsFiles
