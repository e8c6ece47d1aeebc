// Peak resident memory of reading one job: prints the file's size, the peak and their ratio.
//   peak_memory JOB
#include <KestCmdEngine.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: peak_memory JOB\n");
        return 2;
    }
    KestCmdContainer job;
    KestParFileAdapter(KestFileUtil::path_from_utf8(argv[1]), KestCmdIoConfig()).Parse(job);
    std::ifstream status("/proc/self/status");
    std::string line;
    long peak_kb = 0;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            peak_kb = std::stol(line.substr(6));
        }
    }
    const auto bytes = std::filesystem::file_size(argv[1]);
    std::printf("file %.1f MB, peak resident %.1f MB, %.2f times the file\n", bytes / 1e6,
                peak_kb / 1e3, peak_kb * 1e3 / static_cast<double>(bytes));
    return 0;
}
