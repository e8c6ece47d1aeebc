#!/usr/bin/env bash
# Runs every test program of build/ under valgrind's memcheck; fails on any error or leak.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh --all
scripts/require-packages.sh valgrind
status=0
for program in build/tests/*/*_test; do
  echo "valgrind: $program"
  valgrind --quiet --leak-check=full --error-exitcode=1 --suppressions=scripts/valgrind.supp \
    "$program" --gtest_brief=1 >/dev/null \
    || { echo "valgrind found errors in $program" >&2; status=1; }
done
exit $status
