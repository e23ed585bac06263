#!/bin/sh
# vesnor-convert.exe writing to a console (wine's, on a terminal made by script):
# Armenian letters and messages arrive whole, not as one U+FFFD per byte, and /?
# prints the help.
#   usage: console.sh vesnor-convert.exe
set -eu
exe=$(realpath "$1")
export WINEDEBUG=-all LANG=C.UTF-8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'Barev Dzez\nYerevan\n' >"$work/latin.txt"
printf 'Բա…' >"$work/unencodable.txt"
# What the console shows, without its cursor controls and line-end CRs.
console() {
    script -qec "wine '$exe' $*" /dev/null </dev/null | sed 's/\x1b\[[?0-9;]*[a-zA-Z]//g' | tr -d '\r'
}
if ! script -qec true /dev/null </dev/null >/dev/null 2>&1; then
    echo "console check skipped: no terminal can be made here (/dev/pts)"
    exit 0
fi
fail=0
check() {
    if printf '%s' "$2" | grep -qF "$3"; then echo "console shows $1"; else
        echo "console does not show $1: $(printf '%s' "$2" | head -c 300)" >&2; fail=1; fi
}
check "Armenian letters" "$(console "'$work/latin.txt'")" "Բարև Ձեզ"
check "a message naming a character" "$(console --encode "'$work/unencodable.txt'")" "U+2026 (…)"
check "the help for /?" "$(console "/?")" "Usage: vesnor-convert"
check "the licence with --version" "$(console --version)" "MIT licence"
exit $fail
