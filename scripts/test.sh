#!/usr/bin/env bash
# Builds what the tests need (installing what is missing, see build.sh) and runs every test.
#   scripts/test.sh               in build/
#   scripts/test.sh --sanitize    with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/
#   scripts/test.sh --tsan        the test of reading on threads under ThreadSanitizer in build-tsan/
#   scripts/test.sh --windows     the Windows cross build in build-windows/, each test program run
#                                 once under Wine (a prefix and a server of its own), then the
#                                 tests it skipped
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --windows ]; then
  scripts/build-windows.sh
  export WINEPREFIX="$PWD/build-windows/wine-prefix" WINEDEBUG=-all
  # The prefix made first (its making ends with the server it started), then one Wine server for
  # the whole run, kept until its end (-p). By default a server exits a few seconds after its last
  # program and the next program starts another; one connecting as the server closed had its
  # connection reset ("wine client error:0: recvmsg") and failed unrun.
  scripts/run-under-wine.sh wineboot >/dev/null 2>&1
  wineserver -w
  wineserver -p
  trap 'wineserver -k || true' EXIT
  # Wine's own services started here, writing nowhere: they live as long as the server, and ctest
  # waits for a test's output to close, which it would not while a service held it.
  scripts/run-under-wine.sh wineboot >/dev/null 2>&1
  status=0
  ctest --test-dir build-windows --output-on-failure -j "$(nproc)" || status=$?
  # Each skipped test case: where it is skipped, and why.
  grep -a -A1 ': Skipped$' build-windows/Testing/Temporary/LastTest.log | grep -av '^--$' || true
  exit "$status"
fi
scripts/build.sh "${1:---all}"
case "${1:-}" in
  --sanitize) ctest --test-dir build-asan --output-on-failure -j "$(nproc)" ;;
  --tsan) ctest --test-dir build-tsan --output-on-failure -j "$(nproc)" -R '^ParallelRead(OfAFile)?\.' ;;
  *) ctest --test-dir build --output-on-failure -j "$(nproc)" ;;
esac
