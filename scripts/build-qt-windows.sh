#!/bin/sh
# Qt 6 base for 64-bit Windows, built once with mingw-w64 from Debian's own
# qt6-base source package, as shared libraries, into a cache outside the tree.
# Debian's host Qt provides the build tools (moc, rcc, uic). Takes about 25 minutes
# on two cores the first time; afterwards it returns at once.
#   usage: build-qt-windows.sh
# It prints the install prefix on standard output, and nothing else there: its
# progress, and why it failed, go to standard error, where the user sees them.
set -eu
exec 3>&1 1>&2
cache=${VESNOR_CACHE:-$HOME/.cache/vesnor}
prefix=$cache/qt6-mingw
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -f "$prefix/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ]; then
    echo "$prefix" >&3
    exit 0
fi
echo "build-qt-windows: building Qt 6 for Windows into $prefix, once (about 25 minutes on two cores)"

export DEBIAN_FRONTEND=noninteractive
# `apt-get source` needs a deb-src entry beside the machine's deb ones.
if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        >/etc/apt/sources.list.d/vesnor-deb-src.sources
fi
apt-get update -q
apt-get install -y -q --no-install-recommends dpkg-dev ninja-build cmake \
    g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools wine wine64

mkdir -p "$cache/src"
cd "$cache/src"
[ -d qt6-base-*/ ] 2>/dev/null || apt-get source -q qt6-base
source=$(ls -d "$cache"/src/qt6-base-*/ | head -1)

# Without OpenGL the Windows platform plugin still asks the dynamic OpenGL loader
# whether it is a software renderer; there is none, so the answer is no.
sed -i '/^static inline bool isSoftwareGl/,/^}/ s/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
    "$source/src/plugins/platforms/windows/qwindowswindow.cpp"

# Debian's source drops the Wacom header that tablet events need.
cmake -S "$source" -B "$cache/qt6-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DVESNOR_MINGW_SHARED_RUNTIME=ON \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_sql_sqlite=OFF -DFEATURE_system_zlib=OFF \
    -DFEATURE_icu=OFF -DFEATURE_harfbuzz=ON -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF -DFEATURE_fontconfig=OFF \
    -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_doubleconversion=OFF
# A line a minute says how far the build is: ninja's own count of its steps.
log=$cache/qt6-build.log
cmake --build "$cache/qt6-build" --parallel >"$log" 2>&1 &
build=$!
while kill -0 "$build" 2>/dev/null; do
    sleep 60 &
    wait $! || true
    step=$(tr '\r' '\n' <"$log" | grep -o '^\[[0-9]*/[0-9]*\]' | tail -1)
    kill -0 "$build" 2>/dev/null && echo "build-qt-windows: $(date +%H:%M) step ${step:-[starting]}"
done
if ! wait "$build"; then
    tail -40 "$log"
    echo "build-qt-windows: the Qt build failed; its whole log is $log" >&2
    exit 1
fi
cmake --install "$cache/qt6-build" >/dev/null
echo "$prefix" >&3
