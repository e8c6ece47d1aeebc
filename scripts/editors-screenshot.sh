#!/usr/bin/env bash
# Draws docs/editors-neovim.png: Neovim, set up by editors/neovim.lua, runs in tmux with
# kestcmd lsp attached to the job with mistakes of the tests; the screen is captured with its
# colours (tmux capture-pane -e), made HTML by aha and a PNG by wkhtmltoimage.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/require-packages.sh neovim tmux aha wkhtmltopdf
[ -x build/tools/kestcmd ] || scripts/build.sh
work=$(mktemp -d)
trap 'tmux -L kestcmd-picture kill-server 2>/dev/null || true; rm -rf "$work"' EXIT
cp tests/tools/lsp_mistakes.par "$work/bracket.par"
tmux -2 -L kestcmd-picture new-session -d -x 124 -y 44 -s picture -c "$work" \
  "nvim -u '$PWD/editors/neovim.lua' -i NONE -n --cmd 'let g:kestcmd = \"$PWD/build/tools/kestcmd\"' \
   -c 'set number signcolumn=yes' bracket.par"
sleep 3
tmux -L kestcmd-picture capture-pane -e -p -t picture >"$work/screen.ansi"
aha --black --title "kestcmd lsp in Neovim" <"$work/screen.ansi" >"$work/screen.html"
wkhtmltoimage --quiet --quality 10 --width 1160 "$work/screen.html" docs/editors-neovim.png
