#!/bin/sh
# Packs vesnor-VERSION-win64.zip: the two programs, Qt's DLLs and Windows platform
# plugin (shipped as DLLs, as Qt's LGPL licence expects), the compiler's runtime
# DLLs, and a short README.
#   usage: windows-zip.sh BUILD QT_PREFIX OUTPUT.zip VERSION
set -eu
build=$1
qt=$2
zip=$3
version=$4
stage=$(mktemp -d)/vesnor-$version-win64
trap 'rm -rf "$(dirname "$stage")"' EXIT
mkdir -p "$stage/platforms" "$stage/styles"
cp "$build/bin/vesnor.exe" "$build/bin/vesnor-convert.exe" "$stage/"
for dll in Qt6Core Qt6Gui Qt6Widgets; do cp "$qt/bin/$dll.dll" "$stage/"; done
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
[ -f "$qt/plugins/styles/qwindowsvistastyle.dll" ] && cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do cp "$runtime/$dll" "$stage/"; done
cp /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$stage/"
# Debugging symbols stay out of what users download.
find "$stage" -name '*.dll' -o -name '*.exe' | xargs x86_64-w64-mingw32-strip --strip-unneeded
cat >"$stage/README.txt" <<TEXT
Vesnor $version, Armenian-English text composer, for 64-bit Windows.

vesnor.exe          the composer window: type Armenian in Latin letters, press
                    Convert, and get Armenian script; the other direction turns
                    Armenian back into Latin. Save writes output.txt beside the
                    program (or in Documents when that folder cannot be written).
vesnor-convert.exe  the same conversions for files and pipes; run it with --help.

Keep the DLLs and the platforms folder beside the programs. Qt is used under the
GNU LGPL version 3; its source is Debian's qt6-base 6.4.2 source package.
TEXT
rm -f "$zip"
(cd "$(dirname "$stage")" && zip -qr - "$(basename "$stage")") >"$zip"
unzip -l "$zip"
