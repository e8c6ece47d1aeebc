// Check of a read job: with the built-in schema against an empty one (the 100k job of
// job_text.h), and with one reference per command that names nothing against the same job whose
// references all name a command ("did you mean" for every one of them), alone and with reading
// the text as `kestcmd check` does.
#include "job_text.h"

#include <KestCmdEngine.h>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

const KestParDocument& generated(int commands) {
    static std::map<int, std::unique_ptr<KestParDocument>> documents;
    std::unique_ptr<KestParDocument>& document = documents[commands];
    if (!document) {
        document = std::make_unique<KestParDocument>(
            read_document_to_check(bench::to_par(bench::make_job(commands, 42))));
    }
    return *document;
}

void BM_CheckWithSchema(benchmark::State& state) {
    const KestParDocument& document = generated(static_cast<int>(state.range(0)));
    const KestParCheckSettings settings;
    for (auto _ : state) {
        benchmark::DoNotOptimize(check_par_document(document, settings));
    }
}

void BM_CheckWithoutSchema(benchmark::State& state) {
    const KestParDocument& document = generated(static_cast<int>(state.range(0)));
    KestParCheckSettings settings;
    settings.schema = KestJobSchema();
    for (auto _ : state) {
        benchmark::DoNotOptimize(check_par_document(document, settings));
    }
}

// Groups and responses, half each; every command names one group ("g" and a number). With
// `dangling`, each names "g<number>x" instead: no command, one edit from one.
std::string referring_text(int commands, bool dangling) {
    std::string text;
    const std::string suffix = dangling ? "x" : "";
    for (int i = 0; i < commands / 2; ++i) {
        const std::string n = std::to_string(i);
        const std::string other = std::to_string((i * 7919 + 1) % (commands / 2));
        text += "GROUP_DEF\n  ID_NAME = g" + n + "\n  TYPE = ELEMENT\n  GROUP = g" + other +
                suffix + "\nEND_\n\nDRESP\n  ID_NAME = r" + n + "\n  TYPE = VOLUME\n  GROUP = g" +
                n + suffix + "\nEND_\n\n";
    }
    return text;
}

const KestParDocument& referring(int commands, bool dangling) {
    static std::map<std::pair<int, bool>, std::unique_ptr<KestParDocument>> documents;
    std::unique_ptr<KestParDocument>& document = documents[{commands, dangling}];
    if (!document) {
        document = std::make_unique<KestParDocument>(
            read_document_to_check(referring_text(commands, dangling)));
    }
    return *document;
}

// What `kestcmd check` does with the text: read it (one thread), then check it.
void BM_ReadAndCheckNames(benchmark::State& state) {
    const std::string text = referring_text(static_cast<int>(state.range(0)), state.range(1) != 0);
    const KestParCheckSettings settings;
    KestCmdIoConfig config;
    config.threads = 1;
    for (auto _ : state) {
        const KestParDocument document = read_document_to_check(text, L"<text>", config);
        benchmark::DoNotOptimize(check_par_document(document, settings));
    }
}

void BM_CheckNames(benchmark::State& state) {
    const KestParDocument& document =
        referring(static_cast<int>(state.range(0)), state.range(1) != 0);
    const KestParCheckSettings settings;
    std::size_t found = 0;
    for (auto _ : state) {
        found = check_par_document(document, settings).size();
    }
    state.counters["findings"] = static_cast<double>(found);
}

} // namespace

BENCHMARK(BM_CheckWithSchema)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckWithoutSchema)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckNames)
    ->ArgsProduct({{8000, 32000}, {0, 1}})
    ->ArgNames({"commands", "dangling"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ReadAndCheckNames)
    ->ArgsProduct({{32000}, {0, 1}})
    ->ArgNames({"commands", "dangling"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
