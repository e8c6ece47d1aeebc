// Reading and writing whole jobs of 10k, 100k and 1M commands, beside two baselines on the same
// content: a plain line splitter that types nothing, and toml++ on the TOML form. Reading takes
// the number of threads as its second argument; every whole-job figure is wall time, since
// threads add CPU time.
#include "job_text.h"
#include "plain_splitter.h"

#include <KestCmdEngine.h>
#include <benchmark/benchmark.h>
#include <toml++/toml.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

namespace fs = std::filesystem;

namespace {

// The files of a job of `commands` commands, written once per run.
const bench::JobFiles& files(int commands) {
    static std::map<int, bench::JobFiles> made;
    auto found = made.find(commands);
    if (found == made.end()) {
        found =
            made.emplace(commands, bench::write_job_files(
                                       fs::temp_directory_path() / "kest_parse_bench", commands))
                .first;
    }
    return found->second;
}

// The standard configuration with the benchmark's threads.
KestCmdIoConfig config(const benchmark::State& state) {
    KestCmdIoConfig c;
    c.threads = static_cast<std::size_t>(state.range(1));
    return c;
}

void BM_Parse(benchmark::State& state) {
    const bench::JobFiles& f = files(static_cast<int>(state.range(0)));
    const KestParFileAdapter reader(f.par.wstring(), config(state));
    for (auto _ : state) {
        KestCmdContainer job;
        reader.Parse(job);
        benchmark::DoNotOptimize(job.GetNumberOfCommands(KestCmdDefs::DV));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.par_bytes));
}

// Parse that also records where every command and item stands.
void BM_ParseWithPositions(benchmark::State& state) {
    const bench::JobFiles& f = files(static_cast<int>(state.range(0)));
    const KestParFileAdapter reader(f.par.wstring(), config(state));
    for (auto _ : state) {
        KestCmdContainer job;
        KestSourceMap positions;
        reader.Parse(job, &positions);
        benchmark::DoNotOptimize(positions.CommandCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.par_bytes));
}

// The floor: lines split at '=', trimmed, kept as string pairs per block; nothing typed.
void BM_PlainReader(benchmark::State& state) {
    const bench::JobFiles& f = files(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench::split_lines(f.par).size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.par_bytes));
}

void BM_TomlPlusPlus(benchmark::State& state) {
    const bench::JobFiles& f = files(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        toml::table table = toml::parse_file(f.toml.string());
        benchmark::DoNotOptimize(table.size());
    }
    // The same content, counted in bytes of the parameter file to compare like with like.
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.par_bytes));
}

void BM_Write(benchmark::State& state) {
    const bench::JobFiles& f = files(static_cast<int>(state.range(0)));
    KestCmdContainer job;
    KestParFileAdapter(f.par.wstring(), KestCmdIoConfig()).Parse(job);
    const fs::path out = f.par.parent_path() / "written.par";
    const KestCmdParOutput writer(out.wstring(), job, KestCmdDefs::get_default_cmd_names(),
                                  KestCmdItemDefs::default_item_names);
    for (auto _ : state) {
        writer.Write(L"w");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(out)));
}

// The steps of Parse one by one, each on a job that the steps before it left (made again, and
// destroyed, outside the timing): what runs on threads and what on one, for Amdahl's law.
enum class Step { read_text, create_references, default_rules, destroy };

void BM_Step(benchmark::State& state, Step step) {
    const bench::JobFiles& f = files(static_cast<int>(state.range(0)));
    const KestCmdIoConfig c = config(state);
    const KestParFileAdapter reader(f.par.wstring(), c);
    const std::string text = KestFileUtil::read_all(f.par.wstring());
    for (auto _ : state) {
        state.PauseTiming();
        auto job = std::make_unique<KestCmdContainer>();
        if (step > Step::read_text) {
            reader.ReadText(text, *job);
        }
        if (step > Step::create_references) {
            job->CreateReferences();
        }
        if (step > Step::default_rules) {
            reader.GetDefaults().ApplyRules(*job, c.enum_map);
        }
        state.ResumeTiming();
        switch (step) {
        case Step::read_text:
            reader.ReadText(text, *job);
            break;
        case Step::create_references:
            job->CreateReferences();
            break;
        case Step::default_rules:
            reader.GetDefaults().ApplyRules(*job, c.enum_map);
            break;
        case Step::destroy:
            job.reset();
            break;
        }
        state.PauseTiming();
        job.reset();
        state.ResumeTiming();
    }
}

void BM_TypeValue(benchmark::State& state, const char* text) {
    static const auto enums = KestCmdItemDefs::create_enum_map();
    const std::string value = text;
    for (auto _ : state) {
        KestCmdAutoItem item(value, enums);
        benchmark::DoNotOptimize(item.HasReal());
    }
}

// Whole jobs in wall time, with the fastest of the repetitions beside their median: on a shared
// machine, the fastest is the run that other work disturbed least. CPU time is that of every
// thread of the process.
benchmark::internal::Benchmark* whole_job(benchmark::internal::Benchmark* b) {
    return b->UseRealTime()
        ->MeasureProcessCPUTime()
        ->Unit(benchmark::kMillisecond)
        ->ComputeStatistics("min", [](const std::vector<double>& v) {
            return *std::min_element(v.begin(), v.end());
        });
}

} // namespace

// On this two-core machine, 4 threads oversubscribe: they show what splitting costs beyond the
// cores.
BENCHMARK(BM_Parse)->Apply([](auto* b) {
    whole_job(b)->ArgsProduct({{10000, 100000, 1000000}, {1, 2, 4}});
});
BENCHMARK(BM_ParseWithPositions)->Apply([](auto* b) {
    whole_job(b)->ArgsProduct({{10000, 100000, 1000000}, {1, 2}});
});
BENCHMARK(BM_PlainReader)->Apply([](auto* b) {
    whole_job(b)->Arg(10000)->Arg(100000)->Arg(1000000);
});
BENCHMARK(BM_TomlPlusPlus)->Apply([](auto* b) {
    whole_job(b)->Arg(10000)->Arg(100000)->Arg(1000000);
});
BENCHMARK_CAPTURE(BM_Step, read_text, Step::read_text)->Apply([](auto* b) {
    whole_job(b)->ArgsProduct({{1000000}, {1, 2}});
});
BENCHMARK_CAPTURE(BM_Step, create_references, Step::create_references)->Apply([](auto* b) {
    whole_job(b)->Args({1000000, 1});
});
BENCHMARK_CAPTURE(BM_Step, default_rules, Step::default_rules)->Apply([](auto* b) {
    whole_job(b)->Args({1000000, 1});
});
BENCHMARK_CAPTURE(BM_Step, destroy, Step::destroy)->Apply([](auto* b) {
    whole_job(b)->Args({1000000, 1});
});
BENCHMARK(BM_Write)->Apply([](auto* b) { whole_job(b)->Arg(10000)->Arg(100000)->Arg(1000000); });
BENCHMARK_CAPTURE(BM_TypeValue, real, "0.25");
BENCHMARK_CAPTURE(BM_TypeValue, name, "DESIGN_AREA");
BENCHMARK_CAPTURE(BM_TypeValue, vector, "1,0,0");
BENCHMARK_CAPTURE(BM_TypeValue, keyword, "MMA");
BENCHMARK_CAPTURE(BM_TypeValue, range, "1-2000000000");
BENCHMARK_CAPTURE(BM_TypeValue, stepped_range, "1-2000000000:3");

BENCHMARK_MAIN();
