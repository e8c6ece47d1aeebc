// Reference creation over generated jobs of growing size; the time per command must stay flat.
#include "job_generator.h"

#include <benchmark/benchmark.h>

namespace {

void BM_CreateReferences(benchmark::State& state) {
    const auto enums = KestCmdItemDefs::create_enum_map();
    KestCmdContainer container;
    bench::generate_job(container, static_cast<int>(state.range(0)), 42, enums);
    for (auto _ : state) {
        container.CreateReferences();
    }
    state.SetComplexityN(state.range(0));
    state.counters["commands"] = static_cast<double>(state.range(0));
}

} // namespace

BENCHMARK(BM_CreateReferences)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
