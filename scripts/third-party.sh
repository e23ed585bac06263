#!/bin/sh
# Writes THIRD-PARTY.txt for the Windows zip and installer: each component shipped
# beside the programs, its licence text, and where its source is. Qt's list of its
# own bundled code is read from the qt_attribution.json files of the source built.
#   usage: third-party.sh QT_SOURCE OUTPUT
set -eu
source=$1
out=$2
qt_version=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Version 2>/dev/null ||
    basename "$source" | sed 's/^qt6-base-//')
runtime_doc=/usr/share/doc/gcc-mingw-w64-base/copyright
pthread_doc=/usr/share/doc/mingw-w64-x86-64-dev/copyright
gcc_version=$(dpkg-query -W -f='${source:Version}' gcc-mingw-w64-x86-64-posix-runtime)
gcc_binary=$(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix-runtime)
mingw_version=$(dpkg-query -W -f='${source:Version}' mingw-w64-x86-64-dev)

# The values of the "Key": "value" lines of an attribution file (one file may
# describe several parts), with JSON's escaped quotes unescaped.
values() { sed -n "s/^ *\"$1\": *\"\\(.*\\)\",\\{0,1\\}\$/\\1/p" "$2" | sed 's/\\"/"/g'; }
field() { values "$1" "$2" | head -1; }
rule() { echo; echo "=============================================================================="; }

{
    echo "Vesnor for Windows: the components it ships besides its own code"
    echo
    echo "Vesnor itself is under the MIT licence (LICENSE.txt). The programs use the"
    echo "following, each under its own licence; the texts follow below."
    rule
    echo "Qt 6 base, version $qt_version"
    echo "Files: Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll, platforms/qwindows.dll,"
    echo "       styles/qwindowsvistastyle.dll"
    echo "Licence: GNU Lesser General Public License version 3 (LGPL-3.0-only), which"
    echo "         builds on the GNU General Public License version 3; both texts below."
    echo "Source: Debian's qt6-base source package, version $qt_version:"
    echo "        apt-get source qt6-base=$qt_version"
    echo "        https://sources.debian.org/src/qt6-base/$qt_version/"
    echo "The build changes one thing in it: in"
    echo "src/plugins/platforms/windows/qwindowswindow.cpp, isSoftwareGl() asks the"
    echo "OpenGL loader only when OpenGL is built (\"#if QT_CONFIG(dynamicgl)\" becomes"
    echo "\"#if QT_CONFIG(dynamicgl) && QT_CONFIG(opengl)\"), since this build has no OpenGL."
    echo "The build itself is scripts/build-qt-windows.sh in Vesnor's source. You may"
    echo "replace the Qt DLLs with your own build of the same version."
    for file in "$source"/src/3rdparty/*/qt_attribution.json; do
        dir=$(dirname "$file")
        case $(basename "$dir") in
        # Not in the DLLs shipped: other platforms, Android, Vulkan, networking, X11.
        android | gradle | forkfd | libpsl | VulkanMemoryAllocator | wasm | xcb | pixman | \
            dbus-ifaces | libjpeg) continue ;;
        esac
        rule
        echo "Inside the Qt DLLs: $(field Name "$file") $(field Version "$file")"
        echo "Licence: $(field License "$file")"
        copyright=$(field Copyright "$file")
        [ -z "$copyright" ] || echo "Copyright: $copyright" | sed 's/\\n/\n           /g'
        echo "Source: the same qt6-base source, src/3rdparty/$(basename "$dir")"
        for licence in $(values LicenseFile "$file" | sort -u); do
            [ -f "$dir/$licence" ] && { echo; cat "$dir/$licence"; }
        done
    done
    rule
    echo "GCC's runtime: libstdc++-6.dll and libgcc_s_seh-1.dll"
    echo "Licence: GNU GPL version 3 with the GCC Runtime Library Exception 3.1"
    echo "Source: Debian's gcc-mingw-w64 source package, version $gcc_version (the runtime"
    echo "        package gcc-mingw-w64-x86-64-posix-runtime $gcc_binary is built from it)"
    echo "        (apt-get source gcc-mingw-w64=$gcc_version)"
    echo
    cat "$runtime_doc"
    rule
    echo "winpthreads (mingw-w64): libwinpthread-1.dll"
    echo "Licence: MIT and BSD-style, as below"
    echo "Source: Debian's mingw-w64 source package, version $mingw_version"
    echo "        (apt-get source mingw-w64=$mingw_version)"
    echo
    cat "$pthread_doc"
    rule
    echo "GNU Lesser General Public License version 3"
    echo
    cat "$source/LICENSES/LGPL-3.0-only.txt"
    rule
    echo "GNU General Public License version 3"
    echo
    cat "$source/LICENSES/GPL-3.0-only.txt"
} >"$out"
