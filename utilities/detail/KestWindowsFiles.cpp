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
    if (::ReplaceFileW(target.c_str(), replacement.c_str(), nullptr,
                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return 0;
    }
    // Without a backup name, a failed replacement leaves the target where it was.
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) {
        return reason_of(error);
    }
    // No target yet: the replacement takes its name.
    return ::MoveFileExW(replacement.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : reason_of(::GetLastError());
}

} // namespace KestWindowsFiles
