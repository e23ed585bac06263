#!/bin/sh
# Builds the Windows installer with Debian's makensis from the folder the zip was
# packed from (packaging/vesnor.nsi says what it does).
#   usage: windows-installer.sh STAGE VERSION OUTPUT.exe
set -eu
stage=$(realpath "$1")
version=$2
out=$(realpath -m "$3")
root=$(cd "$(dirname "$0")/.." && pwd)
list=$(mktemp)
trap 'rm -f "$list"' EXIT
# The uninstaller removes exactly the files installed, by name.
(cd "$stage" && find . -type f | LC_ALL=C sort | sed 's|^\./||; s|/|\\|g' |
    sed 's|.*|    Delete "$INSTDIR\\&"|') >"$list"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out" \
    -DICON="$root/dialogs/pictures/vesnor.ico" -DFILELIST="$list" "$root/packaging/vesnor.nsi"
echo "installer: $out ($(wc -c <"$out") bytes)"
