// The language server's cycle from a change of an open job to the diagnostics it publishes, on a
// generated job of about 1 MB (10k commands): an edit of one name sent as an incremental change,
// and the whole text sent again (clients that do not send ranges).
#include "job_text.h"
#include "lsp/Server.h"

#include <benchmark/benchmark.h>

namespace {

using kestcmd::lsp::json;

const std::string uri = "file:///job.par";

json notification(const std::string& method, json params) {
    return {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

// A server with the job open, and the place of the first name that a CONSTRAINT gives.
struct OpenJob {
    std::string text = bench::to_par(bench::make_job(10000, 2024));
    std::size_t published = 0;
    kestcmd::lsp::Server server{[this](const std::string& content) {
        published += content.find("publishDiagnostics") != std::string::npos;
    }};
    json name_place;

    OpenJob() {
        server.Receive(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})");
        server.Receive(
            notification("textDocument/didOpen",
                         {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", text}}}})
                .dump());
        const std::size_t at = text.find("CONSTRAINT\n  ID_NAME = c0\n  DRESP = ") + 36;
        const auto line = std::count(text.begin(), text.begin() + at, '\n');
        name_place = {{"line", line}, {"character", 10}};
    }
};

// The didChange message of `changes` (the server does not compare versions).
std::string change(const json& changes) {
    return notification("textDocument/didChange", {{"textDocument", {{"uri", uri}, {"version", 2}}},
                                                   {"contentChanges", changes}})
        .dump();
}

void BM_IncrementalChangeToDiagnostics(benchmark::State& state) {
    OpenJob job;
    // The name's first letter gets an 'x' before it (one unknown name), then loses it.
    json after = job.name_place;
    after["character"] = 11;
    const std::string messages[] = {
        change({{{"range", {{"start", job.name_place}, {"end", job.name_place}}}, {"text", "x"}}}),
        change({{{"range", {{"start", job.name_place}, {"end", after}}}, {"text", ""}}})};
    std::size_t turn = 0;
    for (auto _ : state) {
        job.server.Receive(messages[turn++ % 2]);
    }
    state.counters["published"] = static_cast<double>(job.published);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * job.text.size()));
}

void BM_FullChangeToDiagnostics(benchmark::State& state) {
    OpenJob job;
    const std::string message = change({{{"text", job.text}}});
    for (auto _ : state) {
        job.server.Receive(message);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * job.text.size()));
}

} // namespace

BENCHMARK(BM_IncrementalChangeToDiagnostics)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullChangeToDiagnostics)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
