#!/usr/bin/env bash
# Installs the Debian package into this machine with apt-get, as a user would, and uses what it
# holds from /usr alone: kestcmd check on an example, the man page, and a consumer built with
# find_package (and with pkg-config's flags, where pkg-config is installed). Removes the package
# again, also after a failure; refuses to run where kestcmd is installed already.
#   deb_test.sh DEB EXAMPLES_DIR     (as root)
set -euo pipefail
deb=$(realpath "$1") examples=$(realpath "$2")
if dpkg-query -W -f='${Status}' kestcmd 2>/dev/null | grep -q "install ok installed"; then
    echo "deb_test: the package kestcmd is installed already; leaving it alone" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'apt-get remove -y -qq kestcmd >/dev/null; rm -rf "$work"' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null

kestcmd --version
kestcmd check "$examples/topology.par"
man -w kestcmd >/dev/null
cmake -S "$examples/consumer" -B "$work/build" -G Ninja -DCMAKE_CXX_FLAGS="-Wall -Werror" >/dev/null
cmake --build "$work/build" >/dev/null
"$work/build/consumer" "$examples/topology.par" "$work/completed.par"
kestcmd check "$work/completed.par"
if command -v pkg-config >/dev/null; then
    # shellcheck disable=SC2046
    g++ -std=c++17 -Wall -Werror "$examples/consumer/main.cpp" $(pkg-config --cflags --libs KestCmdEngine) \
        -o "$work/consumer-pc"
    "$work/consumer-pc" "$examples/topology.par" "$work/completed-pc.par"
fi
echo "deb: $(basename "$deb") installs, runs and builds a consumer"
