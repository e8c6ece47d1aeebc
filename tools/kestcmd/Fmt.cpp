#include "Fmt.h"

#include "ExitStatus.h"

#include <KestCmdEngine.h>

#include <algorithm>
#include <iostream>

namespace kestcmd {

int run_fmt(const std::vector<std::string>& paths, bool check, bool in_place) {
    if (!check && !in_place && paths.size() != 1) {
        std::cerr << "kestcmd: fmt prints one file; rewrite several with -i or check them with "
                     "--check\n";
        return exit_usage;
    }
    const KestCmdIoConfig config;
    int status = exit_clean;
    for (const std::string& path : paths) {
        const std::wstring wide = KestFileUtil::path_from_utf8(path);
        try {
            const std::string text = KestFileUtil::read_all(wide);
            const std::string laid_out = format_par_text(text, config);
            if (check) {
                if (laid_out != text) {
                    std::cout << path << '\n';
                    status = std::max(status, exit_warnings);
                }
            } else if (in_place) {
                if (laid_out != text) {
                    KestFileUtil::write_all_safely(wide, laid_out);
                }
            } else {
                std::cout << laid_out;
            }
        } catch (const ZUL_Failure& failure) {
            std::cerr << "kestcmd: " << failure.what() << '\n';
            status = std::max(status, exit_unreadable);
        }
    }
    std::cout.flush();
    return std::cout ? status : exit_output_failed;
}

} // namespace kestcmd
