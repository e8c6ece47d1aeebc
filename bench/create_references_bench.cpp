// Reference creation over generated jobs of growing size: the public call, and the two walks it
// chooses between (the plain linking rule and the prefetch pipeline, on one thread and on two)
// side by side, beside a bare walk that reads the text of every item of the same jobs. Reference
// creation must grow like the bare walk, which is what any linear pass over the job costs on
// this machine.
#include "engine/container/detail/LinkPipeline.h"
#include "engine/container/detail/ReferenceLinking.h"
#include "job_generator.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

using namespace KestCmdItemDefs;

KestCmdContainer& job(int commands) {
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
    KestCmdContainer& container = job(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        container.CreateReferences();
    }
    state.SetComplexityN(state.range(0));
}

template <class Walk>
void link_walk(benchmark::State& state, Walk walk) {
    std::vector<KestCmd*> commands;
    for (KestCmd& cmd : job(static_cast<int>(state.range(0)))) {
        commands.push_back(&cmd);
    }
    for (auto _ : state) {
        walk(commands);
    }
}

void BM_LinkPlain(benchmark::State& state) {
    link_walk(state, &link_references);
}

void BM_LinkPrefetching(benchmark::State& state) {
    link_walk(state, [](const std::vector<KestCmd*>& commands) { LinkPipeline(commands).run(); });
}

void BM_ReadEveryItemText(benchmark::State& state) {
    const KestCmdContainer& container = job(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const KestCmd& cmd : container) {
            // begin/end, not Items: Items would make a list for every kind and change the job
            // that the other benchmarks walk.
            for (int kind = 0; kind < item_kind_count; ++kind) {
                const auto items = static_cast<CmdItem>(kind);
                for (auto item = cmd.begin(items); item != cmd.end(items); ++item) {
                    bytes += (*item)->GetString().size();
                }
            }
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetComplexityN(state.range(0));
}

void job_sizes(benchmark::internal::Benchmark* b) {
    for (int commands : {1000, 10000, 30000, 100000, 1000000}) {
        b->Arg(commands);
    }
    b->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_CreateReferences)->Apply(job_sizes)->Complexity(benchmark::oN);
BENCHMARK(BM_LinkPlain)->Apply(job_sizes);
BENCHMARK(BM_LinkPrefetching)->Apply(job_sizes);
BENCHMARK(BM_ReadEveryItemText)->Apply(job_sizes)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
