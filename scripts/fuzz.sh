#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs each for the given number of seconds (default 60) from its seed corpus in fuzz/corpus.
# Fails on the first finding; the input that caused it is left in build-fuzz/findings/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     targets: parfile lumolist autoitem document
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(parfile lumolist autoitem document)

scripts/require-packages.sh clang libclang-rt-14-dev cmake ninja-build

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKEST_BUILD_FUZZERS=ON -DKEST_BUILD_TESTS=OFF \
  -DKEST_BUILD_BENCHMARKS=OFF -DKEST_BUILD_TOOLS=OFF -DKEST_SANITIZE=address,undefined \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz

for target in "${targets[@]}"; do
  work=build-fuzz/corpus/$target
  mkdir -p "$work" build-fuzz/findings
  log=build-fuzz/fuzz_$target.log
  status=0
  build-fuzz/fuzz/fuzz_"$target" "$work" "fuzz/corpus/$target" -max_total_time="$seconds" \
    -rss_limit_mb=2048 -timeout=20 -artifact_prefix=build-fuzz/findings/"$target"- \
    -print_final_stats=1 >"$log" 2>&1 || status=$?
  echo "fuzz_$target, $seconds s: $(grep -E '^stat::number_of_executed_units' "$log" || echo 'no') runs"
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log" >&2
    echo "fuzz_$target found a fault (exit $status); see build-fuzz/findings/ and $log" >&2
    exit 1
  fi
done
