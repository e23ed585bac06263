#!/bin/sh
# Builds the Debian package, holds it to lintian (no error, no warning), unpacks
# it into a scratch root as an installation would, and runs the installed programs
# from there.
#   usage: check-package.sh BUILD VERSION
set -eu
build=$1
expected_version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 \
    || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/vesnor_*.deb)
if ! lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$out/lintian.log" 2>&1; then
    cat "$out/lintian.log"
    echo "lintian finds errors or warnings"
    exit 1
fi
echo "lintian: no error, no warning"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
echo "$depends" | grep -q 'libqt6widgets6' || { echo "no Qt 6 Widgets dependency"; exit 1; }
echo "$depends" | grep -q 'fonts-dejavu-core' || { echo "no font dependency"; exit 1; }
mkdir "$out/root"
dpkg -x "$deb" "$out/root"
for f in usr/bin/vesnor usr/bin/vesnor-convert usr/share/applications/example.vesnor.Vesnor.desktop \
    usr/share/metainfo/example.vesnor.Vesnor.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/example.vesnor.Vesnor.svg \
    usr/share/icons/hicolor/32x32/apps/example.vesnor.Vesnor.png \
    usr/share/man/man1/vesnor-convert.1.gz usr/share/man/man1/vesnor.1.gz \
    usr/share/doc/vesnor/copyright usr/share/doc/vesnor/changelog.gz; do
    [ -e "$out/root/$f" ] || { echo "missing from the package: $f"; exit 1; }
done
version=$("$out/root/usr/bin/vesnor-convert" --version | head -1)
[ "$version" = "vesnor-convert $expected_version" ] || { echo "unexpected version: $version"; exit 1; }
[ "$(echo 'Barev' | "$out/root/usr/bin/vesnor-convert")" = "Բարև" ]
# The windowed program starts and keeps running until it is stopped.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$out/root/usr/bin/vesnor" 2>/dev/null || status=$?
[ "$status" = 124 ] || { echo "the installed vesnor ended early with status $status"; exit 1; }
echo "installed package runs: $version, and vesnor starts"
