// Writes the generated jobs that the benchmarks read: job_N.par and job_N.toml for each N.
//   make_jobs DIR N...
#include "job_text.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_jobs DIR COMMANDS...\n");
        return 2;
    }
    for (int a = 2; a < argc; ++a) {
        const bench::JobFiles f = bench::write_job_files(argv[1], std::stoi(argv[a]));
        std::printf("%s: %zu bytes\n", f.par.string().c_str(), f.par_bytes);
    }
    return 0;
}
