#include "utilities/detail/KestInputFile.h"

#include "utilities/KestFileUtil.h"
#include "utilities/ZUL_Exception.h"

#include <cerrno>
#include <system_error>

#include <sys/stat.h>

KestInputFile::KestInputFile(const std::wstring& path)
    : _path(path), _file(KestFileUtil::wfopen(path, L"rb"), &std::fclose) {}

std::size_t KestInputFile::SizeHint() const {
#if defined(_WIN32)
    struct _stat64 info;
    if (::_fstat64(::_fileno(_file.get()), &info) == 0 && (info.st_mode & _S_IFREG) != 0) {
        return static_cast<std::size_t>(info.st_size);
    }
#else
    struct stat info;
    if (::fstat(::fileno(_file.get()), &info) == 0 && S_ISREG(info.st_mode)) {
        return static_cast<std::size_t>(info.st_size);
    }
#endif
    return 0;
}

std::size_t KestInputFile::Read(char* into, std::size_t most) {
    std::size_t done = 0;
    while (done < most) {
        errno = 0;
        const std::size_t n = std::fread(into + done, 1, most - done, _file.get());
        if (n == 0) {
            if (std::ferror(_file.get())) {
                const int reason = errno != 0 ? errno : EIO;
                throw ZUL_Failure(ZUL_Code(reason), "[KestFileUtil] ",
                                  "cannot read '" + KestFileUtil::display_path(_path) +
                                      "': " + std::generic_category().message(reason));
            }
            break;
        }
        done += n;
    }
    return done;
}
