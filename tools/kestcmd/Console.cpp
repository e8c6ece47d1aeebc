#include "Console.h"

#include <KestCmdEngine.h>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>
#endif

#include <cstdio>

namespace kestcmd {

Arguments::Arguments(int argc, char** argv) {
#if defined(_WIN32)
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide != nullptr) {
        for (int i = 0; i < count; ++i) {
            _texts.push_back(KestFileUtil::display_path(wide[i]));
        }
        ::LocalFree(wide);
    }
#endif
    if (_texts.empty()) {
        _texts.assign(argv, argv + argc);
    }
    for (const std::string& text : _texts) {
        _values.push_back(text.c_str());
    }
    _values.push_back(nullptr);
}

void use_binary_standard_streams() {
#if defined(_WIN32)
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
#endif
}

} // namespace kestcmd
