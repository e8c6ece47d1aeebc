#!/usr/bin/env bash
# Installs what the build needs (when run as root), then configures and builds.
#   scripts/build.sh               release build with debug information in build/
#   scripts/build.sh --sanitize    AddressSanitizer and UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
cmake_args=()
case "${1:-}" in
  "")
    # The Python module and its tests, on Debian's interpreter (/usr/bin/python3).
    scripts/require-packages.sh pybind11-dev python3-dev python3-pytest python3-hypothesis \
      python3-numpy mypy
    cmake_args+=(-DKEST_BUILD_PYTHON=ON)
    ;;
  --sanitize)
    build_dir=build-asan
    cmake_args+=(-DKEST_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=Debug)
    ;;
  *) echo "usage: $0 [--sanitize]" >&2; exit 2 ;;
esac

# Debian packages the build, the tool and the tests need (Neovim runs the language server test).
scripts/require-packages.sh cmake ninja-build g++ libgtest-dev libbenchmark-dev libcli11-dev \
  nlohmann-json3-dev libtomlplusplus-dev clang-format neovim

cmake -S . -B "$build_dir" -G Ninja -DKEST_WARNINGS_AS_ERRORS=ON ${cmake_args[@]+"${cmake_args[@]}"} >/dev/null
cmake --build "$build_dir"
