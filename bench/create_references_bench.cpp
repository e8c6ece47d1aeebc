// Reference creation over generated jobs of growing size, beside a bare walk that reads the text
// of every item of the same jobs: the first must grow like the second, which is what any linear
// pass over the job costs on this machine.
#include "job_generator.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

using namespace KestCmdItemDefs;

const KestCmdContainer& job(int commands) {
    static const EnumMap enums = create_enum_map();
    static std::map<int, KestCmdContainer> jobs;
    auto found = jobs.find(commands);
    if (found == jobs.end()) {
        found = jobs.emplace(commands, KestCmdContainer()).first;
        bench::generate_job(found->second, commands, 42, enums);
    }
    return found->second;
}

void BM_CreateReferences(benchmark::State& state) {
    auto& container = const_cast<KestCmdContainer&>(job(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        container.CreateReferences();
    }
    state.SetComplexityN(state.range(0));
}

void BM_ReadEveryItemText(benchmark::State& state) {
    const KestCmdContainer& container = job(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const KestCmd& cmd : container) {
            for (int kind = 0; kind < item_kind_count; ++kind) {
                for (const auto& item : cmd.Items(static_cast<CmdItem>(kind))) {
                    bytes += item->GetString().size();
                }
            }
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_CreateReferences)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ReadEveryItemText)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
