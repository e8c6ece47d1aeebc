#!/usr/bin/env bash
# Installs what the build needs (when run as root), then configures and builds.
#   scripts/build.sh               the libraries and kestcmd in build/ (release with debug information)
#   scripts/build.sh --all         what scripts/test.sh runs and CI compiles, in build/: the tests
#                                  and the Python module, and the benchmarks (so that they keep
#                                  compiling; bench/run.sh runs them)
#   scripts/build.sh --sanitize    AddressSanitizer and UndefinedBehaviorSanitizer build in build-asan/
#   scripts/build.sh --tsan        ThreadSanitizer build of the libraries and the test of reading
#                                  on threads (parallel_read_test) in build-tsan/
# Compiles through ccache, so that other builds of the same sources (the wheel's) reuse objects.
set -euo pipefail
cd "$(dirname "$0")/.."

# Debian packages of the libraries and the tool; of the tests and benchmarks (Neovim runs the
# language server test; zsh and fish check their completions; jsonschema checks the built-in
# schema against its JSON Schema); of the Python module and its tests, on Debian's interpreter.
tool_packages=(cmake ninja-build g++ ccache libcli11-dev nlohmann-json3-dev)
test_packages=(libgtest-dev libbenchmark-dev libtomlplusplus-dev neovim zsh fish python3-jsonschema)
python_packages=(pybind11-dev python3-dev python3-pytest python3-hypothesis python3-numpy mypy)

build_dir=build
cmake_args=()
targets=()
case "${1:-}" in
  "")
    packages=("${tool_packages[@]}")
    # A first configuration leaves out what only the tests need; one made by --all stays.
    [ -f build/CMakeCache.txt ] || cmake_args+=(-DKEST_BUILD_TESTS=OFF -DKEST_BUILD_BENCHMARKS=OFF)
    targets+=(--target kestcmd)
    ;;
  --all)
    packages=("${tool_packages[@]}" "${test_packages[@]}" "${python_packages[@]}")
    cmake_args+=(-DKEST_BUILD_TESTS=ON -DKEST_BUILD_BENCHMARKS=ON -DKEST_BUILD_PYTHON=ON)
    ;;
  --sanitize)
    packages=("${tool_packages[@]}" "${test_packages[@]}")
    build_dir=build-asan
    cmake_args+=(-DKEST_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=Debug)
    ;;
  --tsan)
    packages=("${tool_packages[@]}" libgtest-dev)
    build_dir=build-tsan
    cmake_args+=(-DKEST_SANITIZE=thread -DKEST_BUILD_TOOLS=OFF -DKEST_BUILD_BENCHMARKS=OFF)
    targets+=(--target parallel_read_test)
    ;;
  *) echo "usage: $0 [--all|--sanitize|--tsan]" >&2; exit 2 ;;
esac
scripts/require-packages.sh "${packages[@]}"

export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
cmake -S . -B "$build_dir" -G Ninja -DKEST_WARNINGS_AS_ERRORS=ON \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache ${cmake_args[@]+"${cmake_args[@]}"} >/dev/null
cmake --build "$build_dir" ${targets[@]+"${targets[@]}"}
