#!/usr/bin/env bash
# Installs the wheel into a fresh virtual environment of Debian's interpreter, offline, and runs
# what it carries: the kestcmd command (--version, check on an example), kestcmd.__version__, and
# python -m kestcmd lsp through one initialize/shutdown exchange.
#   wheel_test.sh WHEEL EXAMPLES_DIR VERSION
set -euo pipefail
wheel=$1 examples=$2 version=$3
here=$(dirname "$0")
venv=$(mktemp -d)
trap 'rm -rf "$venv"' EXIT

/usr/bin/python3 -m venv "$venv"
"$venv/bin/python" -m pip install --quiet --no-index --no-deps "$wheel"
[ "$("$venv/bin/kestcmd" --version)" = "kestcmd $version" ]
"$venv/bin/kestcmd" check "$examples/topology.par"
[ "$("$venv/bin/python" -c 'import kestcmd; print(kestcmd.__version__)')" = "$version" ]
"$venv/bin/python" "$here/lsp_exchange.py" "$venv/bin/python" -m kestcmd lsp
echo "wheel: $(basename "$wheel") installs and runs"
