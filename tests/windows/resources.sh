#!/bin/sh
# The Windows resource script compiles, and what it compiles to carries the
# project's version, the licence, the manifest and, where asked, the icon.
#   usage: resources.sh WINDRES SCRIPT.rc VERSION (major.minor, as 2.02) [icon]
set -eu
windres=$1
script=$2
version=$3
icon=${4:-}
major=${version%%.*}
minor=$(echo "${version#*.}" | sed 's/^0*//; s/^$/0/')
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$windres" -i "$script" -O res -o "$work/vesnor.res"
"$windres" -i "$work/vesnor.res" -O rc -o "$work/dump.rc"
fail=0
expect() {
    if grep -q "$1" "$work/dump.rc"; then echo "found: $2"; else echo "missing: $2" >&2; fail=1; fi
}
expect "FILEVERSION $major, *$minor, *0, *0" "file version $major.$minor.0.0"
expect "PRODUCTVERSION $major, *$minor, *0, *0" "product version $major.$minor.0.0"
expect "\"FileVersion\", \"$version" "file version text \"$version\""
expect "\"ProductVersion\", \"$version" "product version text \"$version\""
expect '"ProductName", "Vesnor' 'product name Vesnor'
expect '"LegalCopyright", "Copyright (c) 2026 The Vesnor developers. MIT licence.' 'the licence'
# The manifest (resource type 24) and what it asks for: UTF-8 and the screen's scale.
expect '^1 24' 'a manifest'
for wanted in 'activeCodePage' 'UTF-8' 'PerMonitorV2'; do
    if strings "$work/vesnor.res" | grep -q "$wanted"; then echo "manifest: $wanted"; else
        echo "manifest without $wanted" >&2; fail=1; fi
done
if [ -n "$icon" ]; then
    expect 'ICON' 'an icon'
    # The icon's pictures are there, not only its name: a 32 x 32 one among them.
    size=$(wc -c <"$work/vesnor.res")
    [ "$size" -gt 4096 ] || { echo "resource too small for the icon: $size bytes" >&2; fail=1; }
fi
exit $fail
