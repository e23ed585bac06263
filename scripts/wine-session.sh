#!/bin/sh
# Runs a command with a wine prefix ready and its server started beforehand: a
# server started by the first test would hold the test runner's output pipe open.
set -eu
export WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/vesnor/wine}
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 || true
wineserver -p || true
trap 'wineserver -k 2>/dev/null || true' EXIT
"$@"
