#!/usr/bin/env bash
# Cross-builds for 64-bit Windows with MinGW-w64 in build-windows/ (installing what is missing,
# as build.sh does): KestUtilities.dll and KestCmdEngine.dll with their import libraries,
# kestcmd.exe and the test programs, warnings being errors. GoogleTest is built for Windows from
# Debian's sources once; CLI11 and nlohmann-json are header-only.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/require-packages.sh cmake ninja-build g++-mingw-w64-x86-64-posix googletest libcli11-dev \
  nlohmann-json3-dev wine wine64

build_dir=$PWD/build-windows
deps=$build_dir/deps
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
if [ ! -f "$deps/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$build_dir/googletest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_GMOCK=OFF \
    -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$build_dir/googletest" --target install >/dev/null
fi
# The header-only libraries' headers and CMake packages alone: the host's /usr/include holds
# headers of its own C library, which must not be found by the cross compiler.
mkdir -p "$deps/include" "$deps/share/cmake"
ln -sfn /usr/include/CLI "$deps/include/CLI"
ln -sfn /usr/include/nlohmann "$deps/include/nlohmann"
cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$deps/share/cmake/"

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_FIND_ROOT_PATH="$deps" -DKEST_WARNINGS_AS_ERRORS=ON -DKEST_BUILD_BENCHMARKS=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir"
