#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes of it, or when
# code outside the syntax layer scans job text itself (check-syntax-layer.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/require-packages.sh clang-format
git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror
scripts/check-syntax-layer.sh
