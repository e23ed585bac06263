#!/bin/sh
# Installs what building, running and testing need, and nothing when all is there.
set -eu

# With "windows": what cross-building for Windows and running it under wine needs.
# With "bench": what the benchmark adds: iconv's and the real text's packages
# (Debian's Armenian translations, read with gettext's msgunfmt).
if [ "${1:-}" = bench ]; then
    packages="libc-bin gettext iso-codes libglib2.0-data libgtk2.0-common at-spi2-common \
libgdk-pixbuf2.0-common time"
elif [ "${1:-}" = web ]; then
    # The browser tests drive Chromium with Debian's Selenium and chromedriver.
    packages="emscripten nodejs chromium chromium-driver python3 python3-selenium \
fonts-dejavu-core"
elif [ "${1:-}" = windows ]; then
    packages="cmake make g++ g++-mingw-w64-x86-64-posix wine wine64 diffutils gawk zip unzip \
fonts-dejavu-core nsis xvfb openbox xdotool wmctrl x11-utils"
else
packages="cmake make g++ qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core \
xvfb openbox xdotool wmctrl x11-utils xclip bc libxcb1-dev libc-bin time hyperfine desktop-file-utils appstream dpkg-dev file lintian"
fi

# A package counts as there once dpkg has unpacked and configured it, whether or not
# some other package's triggers are still to run over it.
missing=""
for p in $packages; do
    case $(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null) in
    installed | triggers-pending | triggers-awaited) ;;
    *) missing="$missing $p" ;;
    esac
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" != 0 ]; then
    echo "install-deps: missing packages:$missing; run as root or install them" >&2
    exit 1
fi
echo "install-deps: installing$missing"
export DEBIAN_FRONTEND=noninteractive
# A new desktop's automatic updates often hold apt's and dpkg's locks: wait for
# them, for up to five minutes, rather than fail. apt waits for dpkg's lock itself
# (and says whom it waits for); the package lists' lock it does not wait for.
wait_lock="-o DPkg::Lock::Timeout=300"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
tries=0
until apt-get $wait_lock update -q >"$log" 2>&1; do
    tries=$((tries + 1))
    if ! grep -q 'Could not get lock' "$log" || [ "$tries" -ge 60 ]; then
        cat "$log" >&2
        echo "install-deps: apt-get update failed" >&2
        exit 1
    fi
    [ "$tries" = 1 ] && echo "install-deps: another package manager holds apt's lock;" \
        "waiting for it (up to 5 minutes): $(grep -o 'held by process.*' "$log" | head -1)"
    sleep 5
done
cat "$log"
# shellcheck disable=SC2086
apt-get $wait_lock install -y -q --no-install-recommends $missing
