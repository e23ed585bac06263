#!/bin/sh
# Installs what building, running and testing need, and nothing when all is there.
set -eu

# With "windows": what cross-building for Windows and running it under wine needs.
if [ "${1:-}" = windows ]; then
    packages="cmake make g++ g++-mingw-w64-x86-64-posix wine wine64 diffutils gawk zip unzip fonts-dejavu-core"
else
packages="cmake make g++ qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core \
xvfb openbox xdotool wmctrl x11-utils xclip bc libxcb1-dev libc-bin time hyperfine desktop-file-utils appstream dpkg-dev file"
fi

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" != 0 ]; then
    echo "install-deps: missing packages:$missing; run as root or install them" >&2
    exit 1
fi
echo "install-deps: installing$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
# shellcheck disable=SC2086
apt-get install -y -q --no-install-recommends $missing
