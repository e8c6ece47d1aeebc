#!/usr/bin/env bash
# Reproduces the figures of docs/performance.md in one go: builds the benchmarks, runs them side
# by side (five repetitions in random order, wall time and the CPU time of every thread),
# measures peak memory of reading each job with the library on one and two threads and with
# toml++ and the bytes a job takes per command and item, draws docs/throughput.png, and times
# editing one value and the language server (bench/README.md). Whole processes, cold, are
# bench/cold.py's.
#   bench/run.sh [RESULTS_DIR]      (default build/bench-results)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/bench-results}

scripts/require-packages.sh cmake ninja-build g++ libbenchmark-dev libtomlplusplus-dev gnuplot-nox
cmake -S . -B build -G Ninja -DKEST_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build --target parse_bench peak_memory job_bytes create_references_bench \
  document_bench lsp_bench lsp_memory
mkdir -p "$out"

# Repetitions of every benchmark interleave in random order, so that a spell of load from other
# work on the machine falls on all of them alike.
build/bench/parse_bench --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/parse_bench.json" --benchmark_out_format=json | tee "$out/parse_bench.txt"

build/bench/create_references_bench --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true | tee "$out/create_references_bench.txt"

build/bench/document_bench --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true | tee "$out/document_bench.txt"

# parse_bench wrote the jobs it measured.
jobs=${TMPDIR:-/tmp}/kest_parse_bench
for n in 10000 100000 1000000; do
  echo "$n commands, Parse on 1 thread:  $(build/bench/peak_memory --threads 1 "$jobs/job_$n.par")"
  echo "$n commands, Parse on 2 threads: $(build/bench/peak_memory --threads 2 "$jobs/job_$n.par")"
  echo "$n commands, Parse with positions: $(build/bench/peak_memory --positions "$jobs/job_$n.par")"
  echo "$n commands, toml++: $(build/bench/peak_memory --toml "$jobs/job_$n.toml")"
  echo "$n commands, the job in memory: $(build/bench/job_bytes "$jobs/job_$n.par")"
done | tee "$out/peak_memory.txt"

build/bench/lsp_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  | tee "$out/lsp_bench.txt"
build/bench/lsp_memory | tee "$out/lsp_memory.txt"

bench/plot.sh "$out/parse_bench.json" docs/throughput.png
