#!/bin/sh
# Runs a command with a wine prefix ready and its server started beforehand: a
# server started by the first test would hold the test runner's output pipe open.
set -eu
export WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/vesnor/wine}
mkdir -p "$WINEPREFIX"
# The persistent server must come first: one that is already up ignores -p and
# ends after a moment without clients, and a program that starts just then loses
# its connection ("wine client error ... Connection reset by peer"), which a
# loaded machine makes likely. Any server left over for this prefix goes first.
wineserver -k 2>/dev/null || true
wineserver -p || true
wineboot -i >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT
"$@"
