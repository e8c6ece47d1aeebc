#!/usr/bin/env bash
# Makes the packages of the tool and the libraries in build/packages/ and tries each as a user
# would (scripts/test-editors.sh makes the VS Code extension's beside them):
#   - the Python wheel (pip wheel, offline), installed into a fresh virtual environment;
#   - the Debian package (cpack -G DEB in build/), installed with apt-get and removed again.
# Run as root (apt-get). Builds build/ first when scripts/build.sh has not.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(KestCmdEngine VERSION \([^ ]*\).*/\1/p' CMakeLists.txt)
packages=build/packages

scripts/build.sh
scripts/require-packages.sh dpkg-dev pybind11-dev python3-dev python3-venv python3-pip \
  python3-setuptools python3-wheel
mkdir -p "$packages"
rm -f "$packages"/kestcmd-*.whl "$packages"/kestcmd_*.deb

/usr/bin/python3 -m pip wheel . --no-build-isolation --no-index --no-deps --quiet -w "$packages"
tests/package/wheel_test.sh "$packages"/kestcmd-"$version"-*.whl examples "$version"

(cd build && cpack -G DEB -B "$PWD/packages" >/dev/null && rm -rf packages/_CPack_Packages)
tests/package/deb_test.sh "$packages/kestcmd_${version}_$(dpkg --print-architecture).deb" examples
echo "packages: $(cd "$packages" && echo *)"
