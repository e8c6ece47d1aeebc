#!/usr/bin/env bash
# Installs what the build needs (when run as root), then configures and builds.
#   scripts/build.sh               release build with debug information in build/
#   scripts/build.sh --sanitize    AddressSanitizer and UndefinedBehaviorSanitizer build in build-asan/
#   scripts/build.sh --tsan        ThreadSanitizer build of the libraries and the test of reading
#                                  on threads (parallel_read_test) in build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
cmake_args=()
targets=()
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
  --tsan)
    build_dir=build-tsan
    cmake_args+=(-DKEST_SANITIZE=thread -DKEST_BUILD_TOOLS=OFF -DKEST_BUILD_BENCHMARKS=OFF)
    targets+=(--target parallel_read_test)
    ;;
  *) echo "usage: $0 [--sanitize|--tsan]" >&2; exit 2 ;;
esac

# Debian packages the build, the tool and the tests need (Neovim runs the language server test).
scripts/require-packages.sh cmake ninja-build g++ libgtest-dev libbenchmark-dev libcli11-dev \
  nlohmann-json3-dev libtomlplusplus-dev clang-format neovim python3-jsonschema

cmake -S . -B "$build_dir" -G Ninja -DKEST_WARNINGS_AS_ERRORS=ON ${cmake_args[@]+"${cmake_args[@]}"} >/dev/null
cmake --build "$build_dir" ${targets[@]+"${targets[@]}"}
