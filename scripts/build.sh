#!/usr/bin/env bash
# Installs what the build needs (when run as root), then configures and builds.
#   scripts/build.sh               release build with debug information in build/
#   scripts/build.sh --sanitize    AddressSanitizer and UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
cmake_args=()
case "${1:-}" in
  "") ;;
  --sanitize)
    build_dir=build-asan
    cmake_args+=(-DKEST_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=Debug)
    ;;
  *) echo "usage: $0 [--sanitize]" >&2; exit 2 ;;
esac

# Debian packages the build, the tool and the tests need.
packages=(cmake ninja-build g++ libgtest-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
          clang-format)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  else
    echo "missing packages: ${missing[*]}" >&2
    echo "install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
fi

cmake -S . -B "$build_dir" -G Ninja -DKEST_WARNINGS_AS_ERRORS=ON ${cmake_args[@]+"${cmake_args[@]}"} >/dev/null
cmake --build "$build_dir"
