#!/usr/bin/env bash
# Tries the packaged VS Code extension in a real VS Code, offline: code-server from the npm
# registry, driven by headless Chromium (puppeteer-core). A workspace holds a job with an unknown
# key and the built kestcmd in build/tools/ (one of the places the extension looks); the test
# opens the job and waits for the diagnostic in the editor and the Problems panel, then, without
# the program, for the message that says where the extension looked. Not part of
# CI (the installs take minutes); run it by hand, as root on a fresh machine. Installs reused
# from an earlier run stay in build/vscode-test/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
version=$(sed -n 's/^project(KestCmdEngine VERSION \([^ ]*\).*/\1/p' CMakeLists.txt)
work=$root/build/vscode-test

# code-server 4.100.3 is the newest that runs on Node 20; its native modules build here.
scripts/require-packages.sh g++ make python3 pkg-config libkrb5-dev libsecret-1-dev libxkbfile-dev \
  ripgrep chromium
command -v npm >/dev/null || scripts/require-packages.sh nodejs npm
scripts/build.sh
mkdir -p "$work/tools"
(cd editors/vscode && npm ci --ignore-scripts --no-audit --no-fund >/dev/null &&
  npx @vscode/vsce package --out "$work/" </dev/null >/dev/null)

if [ ! -f "$work/tools/installed" ]; then
  # Offline: @vscode/ripgrep takes Debian's rg as its cached download. code-server's install
  # scripts build its native modules: they must run (npm 11 asks for that), as root (npm 10), and
  # answer npx's prompt.
  cache=${TMPDIR:-/tmp}/vscode-ripgrep-cache-1.15.11
  mkdir -p "$cache"
  tar -czf "$cache/ripgrep-v13.0.0-10-x86_64-unknown-linux-musl.tar.gz" -C /usr/bin rg
  rm -rf "$work/tools/node_modules"
  (cd "$work/tools" && npm_config_dangerously_allow_all_scripts=true npm_config_unsafe_perm=true \
    npm_config_yes=true npm install --no-audit --no-fund --no-save code-server@4.100.3 \
    puppeteer-core@24.8.2 >"$work/npm-install.log" 2>&1) ||
    { tail -n 30 "$work/npm-install.log" >&2; exit 1; }
  touch "$work/tools/installed"
fi

# The workspace, the user settings (none for kestcmd) and the extension.
rm -rf "$work/workspace" "$work/data" "$work/extensions"
mkdir -p "$work/workspace/build" "$work/data/User"
ln -s "$root/build/tools" "$work/workspace/build/tools"
# The mistake near the top, where the editor shows it without scrolling.
sed 's/^  ID_NAME = bracket$/&\n  FOO = 1/' examples/topology.par >"$work/workspace/job.par"
echo '{"workbench.startupEditor": "none", "security.workspace.trust.enabled": false}' \
  >"$work/data/User/settings.json"
code_server=("$work/tools/node_modules/.bin/code-server" --user-data-dir "$work/data"
  --extensions-dir "$work/extensions" --config "$work/config.yaml")
export XDG_CONFIG_HOME=$work/data XDG_DATA_HOME=$work/data
"${code_server[@]}" --install-extension "$work/kestcmd-par-$version.vsix" >/dev/null

port=$((20000 + $$ % 10000))
"${code_server[@]}" --bind-addr "127.0.0.1:$port" --auth none --disable-telemetry \
  --disable-update-check "$work/workspace" >"$work/code-server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 60); do
  curl -s -o /dev/null "http://127.0.0.1:$port/healthz" && break
  sleep 1
done
NODE_PATH=$work/tools/node_modules node editors/test/in-code-server.js \
  "http://127.0.0.1:$port/?folder=$work/workspace" job.par "unknown key 'FOO'" \
  "$work/screenshot.png"
# Without the program in the workspace (and none installed), a new window's extension host says
# where it looked.
if ! command -v kestcmd >/dev/null && [ ! -e "$HOME/.local/bin/kestcmd" ]; then
  rm "$work/workspace/build/tools"
  NODE_PATH=$work/tools/node_modules node editors/test/in-code-server.js \
    "http://127.0.0.1:$port/?folder=$work/workspace" job.par \
    "notification:kestcmd was not found" "$work/screenshot-not-found.png"
fi
