#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, with its exit status:
#   scripts/run-under-wine.sh PROGRAM.exe [ARGUMENT...]
# The Wine prefix is WINEPREFIX, by default one of this user's own made on first use. The DLLs of
# the MinGW-w64 runtime are on the DLL search path unless WINEPATH is set (to nothing, for a
# program that must find everything beside it).
set -euo pipefail
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kest-wine}"
export WINEDEBUG="${WINEDEBUG--all}"
# No installer of Wine's own components (they would be downloaded) and no window.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # Tests run side by side: one of them makes the prefix, the others wait for it.
  flock "$WINEPREFIX/.made-by-kest" sh -c '[ -f "$WINEPREFIX/system.reg" ] || wineboot -i' \
    >/dev/null 2>&1
fi
if [ -z "${WINEPATH+set}" ]; then
  runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
  export WINEPATH="Z:${runtime//\//\\};Z:\\usr\\x86_64-w64-mingw32\\lib"
fi
exec wine "$@"
