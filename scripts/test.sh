#!/usr/bin/env bash
# Builds (installing what is missing, see build.sh) and runs every test.
#   scripts/test.sh               in build/
#   scripts/test.sh --sanitize    with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh "$@"
build_dir=build
[ "${1:-}" = "--sanitize" ] && build_dir=build-asan
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
