#!/bin/sh
# Runs the whole test suite of a Windows build under wine, headless: Qt's DLLs,
# its platform plugins and the compiler's runtime go beside the programs, and the
# offscreen platform is chosen in wine's registry (wine does not hand QT_*
# variables on to Windows programs).
#   usage: windows-tests.sh BUILD QT_PREFIX
set -eu
build=$1
qt=$2
bin=$build/bin
mkdir -p "$bin/platforms"
for dll in Qt6Core Qt6Gui Qt6Widgets Qt6Test; do cp "$qt/bin/$dll.dll" "$bin/"; done
cp "$qt"/plugins/platforms/*.dll "$bin/platforms/"
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
cp "$runtime/libstdc++-6.dll" "$runtime/libgcc_s_seh-1.dll" /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$bin/"
wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null 2>&1
# The offscreen platform reads fonts from a folder, and wine has no Windows fonts:
# DejaVu Sans, as on Linux, and nothing else, so that no odd face stands in.
mkdir -p "$build/fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf "$build/fonts/"
fonts=$(cd "$build/fonts" && pwd)
wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "Z:$(echo "$fonts" | tr / '\\')" /f >/dev/null 2>&1
cd "$build"
status=0
ctest --output-on-failure || status=$?
wine reg delete 'HKCU\Environment' /v QT_QPA_PLATFORM /f >/dev/null 2>&1 || true
wine reg delete 'HKCU\Environment' /v QT_QPA_FONTDIR /f >/dev/null 2>&1 || true
exit $status
