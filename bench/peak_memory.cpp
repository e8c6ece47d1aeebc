// Peak resident memory of reading one job: prints the file's size, the peak and their ratio.
//   peak_memory JOB.par          reads the job with KestParFileAdapter::Parse
//   peak_memory --positions JOB.par   the same, recording where commands and items stand
//   peak_memory --toml JOB.toml  reads the same content with toml++, for comparison
//   peak_memory --split JOB.par  reads it with the plain line splitter, for comparison
//   peak_memory --threads N [--positions] JOB.par   reads on N threads (default 0: one per core)
#include "plain_splitter.h"

#include <KestCmdEngine.h>
#if defined(KEST_WITH_TOMLPLUSPLUS)
#include <toml++/toml.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The peak resident memory of this process so far, in kB (0 where /proc is missing).
long peak_kb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    bool toml = false;
    bool split = false;
    bool positions = false;
    KestCmdIoConfig config;
    int a = 1;
    for (; a + 1 < argc; ++a) {
        const std::string option = argv[a];
        if (option == "--threads" && a + 2 < argc) {
            config.threads = std::stoul(argv[++a]);
        } else if (option == "--toml") {
            toml = true;
        } else if (option == "--split") {
            split = true;
        } else if (option == "--positions") {
            positions = true;
        } else {
            break;
        }
    }
    if (a + 1 != argc) {
        std::fprintf(stderr, "usage: peak_memory [--threads N] [--positions] JOB.par | "
                             "peak_memory --toml JOB.toml | peak_memory --split JOB.par\n");
        return 2;
    }
    const std::string path = argv[a];
    if (toml) {
#if defined(KEST_WITH_TOMLPLUSPLUS)
        const toml::table table = toml::parse_file(path);
        std::printf("%zu tables, ", table.size());
#else
        std::fprintf(stderr, "peak_memory was built without toml++\n");
        return 2;
#endif
    } else if (split) {
        std::printf("%zu blocks, ", bench::split_lines(path).size());
    } else {
        KestCmdContainer job;
        KestSourceMap map;
        KestParFileAdapter(KestFileUtil::path_from_utf8(path), config)
            .Parse(job, positions ? &map : nullptr);
    }
    const long peak = peak_kb();
    const auto bytes = std::filesystem::file_size(path);
    std::printf("file %.1f MB, peak resident %.1f MB, %.2f times the file\n", bytes / 1e6,
                peak / 1e3, peak * 1e3 / static_cast<double>(bytes));
    return 0;
}
