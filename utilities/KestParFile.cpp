#include "utilities/KestParFile.h"

#include "utilities/KestFileUtil.h"
#include "utilities/detail/KestParScanner.h"

KestParFile::KestParFile(const std::wstring& path) {
    Split(KestFileUtil::read_all(path));
}

KestParFile KestParFile::FromText(std::string_view text) {
    KestParFile file;
    file.Split(text);
    return file;
}

void KestParFile::Split(std::string_view text) {
    KestParScanner scanner(text);
    KestParCommand block;
    while (scanner.Next(block)) {
        _commands.push_back(std::move(block));
    }
}
