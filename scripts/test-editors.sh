#!/usr/bin/env bash
# Runs the tests of editors/ with node's test runner: the TextMate grammar on the example jobs,
# and the VS Code extension's manifest and server look-up; then packages the extension
# (vsce package) as build/packages/kestcmd-par-VERSION.vsix. Installs Node.js and npm from Debian
# when missing (as root) and the npm packages of editors/ and editors/vscode/ (their lock files).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v npm >/dev/null || scripts/require-packages.sh nodejs npm
cd editors
npm ci --no-audit --no-fund >/dev/null
(cd vscode && npm ci --ignore-scripts --no-audit --no-fund >/dev/null)
npm test
mkdir -p ../build/packages
(cd vscode && npx @vscode/vsce package --out ../../build/packages/ </dev/null >/dev/null)
