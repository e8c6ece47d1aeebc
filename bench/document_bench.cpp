// Changing one value of a large job's file through the document layer, as `kestcmd set` does
// (open, find the command by name, set, save safely), beside reading the same file with Parse
// and laying out its text.
#include "job_text.h"

#include <KestCmdEngine.h>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr int commands = 100000;

// The job's file, written once per run.
const fs::path& job_file() {
    static const fs::path path = [] {
        const fs::path dir = fs::temp_directory_path() / "kest_document_bench";
        fs::create_directories(dir);
        std::ofstream(dir / "job.par", std::ios::binary)
            << bench::to_par(bench::make_job(commands, 2024));
        return dir / "job.par";
    }();
    return path;
}

void BM_Parse(benchmark::State& state) {
    const KestParFileAdapter reader(job_file().wstring(), KestCmdIoConfig());
    for (auto _ : state) {
        KestCmdContainer job;
        reader.Parse(job);
        benchmark::DoNotOptimize(job.GetNumberOfCommands(KestCmdDefs::DV));
    }
}

// A constraint in the middle of the text gets a new limit, written to a file beside the job.
void BM_OpenSetAndSave(benchmark::State& state) {
    const std::wstring out = (job_file().parent_path() / "edited.par").wstring();
    for (auto _ : state) {
        KestParDocument doc = KestParDocument::Open(job_file().wstring());
        for (const KestCmd& cmd : doc.Job()) {
            if (cmd.HasItem(KestCmdItemDefs::ID_NAME) &&
                cmd.Item(KestCmdItemDefs::ID_NAME, 0).GetString() == "C12000") {
                doc.SetValue(cmd, KestCmdItemDefs::VALUE, 0, "0.3");
                break;
            }
        }
        doc.Save(out);
    }
}

void BM_FormatText(benchmark::State& state) {
    const std::string text = KestFileUtil::read_all(job_file().wstring());
    const KestCmdIoConfig config;
    for (auto _ : state) {
        benchmark::DoNotOptimize(format_par_text(text, config).size());
    }
}

} // namespace

BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSetAndSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatText)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
