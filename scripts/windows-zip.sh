#!/bin/sh
# Packs vesnor-VERSION-win64.zip: the two programs, Qt's DLLs and Windows platform
# plugin (shipped as DLLs, as Qt's LGPL licence expects), the compiler's runtime
# DLLs, a short README, the licence and THIRD-PARTY.txt. The folder it packs stays
# beside the zip for the installer. Two runs give the same bytes.
#   usage: windows-zip.sh BUILD QT_PREFIX OUTPUT.zip VERSION
set -eu
build=$1
qt=$2
zip=$3
version=$4
root=$(cd "$(dirname "$0")/.." && pwd)
stage=$(dirname "$zip")/vesnor-$version-win64
rm -rf "$stage"
mkdir -p "$stage/platforms" "$stage/styles"
cp "$build/bin/vesnor.exe" "$build/bin/vesnor-convert.exe" "$stage/"
for dll in Qt6Core Qt6Gui Qt6Widgets; do cp "$qt/bin/$dll.dll" "$stage/"; done
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
[ -f "$qt/plugins/styles/qwindowsvistastyle.dll" ] && cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do cp "$runtime/$dll" "$stage/"; done
cp /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$stage/"
# Debugging symbols stay out of what users download. binutils writes the time into
# the header of each program and DLL it strips, unless told which: none.
find "$stage" -name '*.dll' -o -name '*.exe' |
    SOURCE_DATE_EPOCH=0 xargs x86_64-w64-mingw32-strip --strip-unneeded
sh "$root/scripts/third-party.sh" "$(ls -d "$(dirname "$qt")"/src/qt6-base-*/ | head -1)" \
    "$stage/THIRD-PARTY.txt"
cp "$root/LICENSE" "$stage/LICENSE.txt"
cat >"$stage/README.txt" <<TEXT
Vesnor $version, Armenian-English text composer, for 64-bit Windows.

vesnor.exe          the composer window: type Armenian in Latin letters, press
                    Convert, and get Armenian script; the other direction turns
                    Armenian back into Latin. Save writes output.txt beside the
                    program (or in Documents when that folder cannot be written).
vesnor-convert.exe  the same conversions for files and pipes; run it with --help.

Keep the DLLs and the platforms folder beside the programs. Vesnor is under the
MIT licence (LICENSE.txt); Qt and the other parts it ships are under their own
licences, listed with their texts and where their source is in THIRD-PARTY.txt.
TEXT
# Windows' own editors want CR LF.
for text in "$stage"/*.txt; do
    sed 's/\r$//; s/$/\r/' "$text" >"$text.crlf" && mv "$text.crlf" "$text"
done
# The same bytes every time: one date for every file, a fixed order, no extra fields.
epoch=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1765152000)
find "$stage" -exec touch -h -d "@$epoch" {} +
rm -f "$zip"
(cd "$(dirname "$stage")" && find "$(basename "$stage")" | LC_ALL=C sort |
    TZ=UTC zip -X -q -@ -) >"$zip"
unzip -l "$zip"
