#!/usr/bin/env bash
# Builds what the tests need (installing what is missing, see build.sh) and runs every test.
#   scripts/test.sh               in build/
#   scripts/test.sh --sanitize    with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/
#   scripts/test.sh --tsan        the test of reading on threads under ThreadSanitizer in build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh "${1:---all}"
case "${1:-}" in
  --sanitize) ctest --test-dir build-asan --output-on-failure -j "$(nproc)" ;;
  --tsan) ctest --test-dir build-tsan --output-on-failure -j "$(nproc)" -R '^ParallelRead(OfAFile)?\.' ;;
  *) ctest --test-dir build --output-on-failure -j "$(nproc)" ;;
esac
