# Sourced by the tests and benchmarks that need a real X display: starts Xvfb on a
# free display with openbox, so windows get frames as on a desktop, and stops both
# on exit. Sets DISPLAY and `work`, a scratch directory removed on exit.
work=$(mktemp -d)
pids=""
stop_session() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap stop_session EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids="$!"
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
DISPLAY=:$(cat "$work/display")
export DISPLAY
export QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
pids="$! $pids"
for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.05; done

# Waits until a window titled exactly $1 exists and prints its id.
window_named() {
    for _ in $(seq 200); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.05
    done
    echo "no window named '$1'" >&2
    [ -n "${E2E_SHOT:-}" ] && import -window root "$E2E_SHOT"
    return 1
}

# Starts the program $1 and waits for its composer window: sets app, its process,
# and win, the window.
start_composer() {
    "$1" 2>/dev/null &
    app=$!
    pids="$app $pids"
    win=$(window_named "Armenian-English text composer")
    sleep 0.5
}

# Sets X and Y, the composer window's inner area on the screen, and button_y, a row
# through its command buttons (their top is 900 twips, 60 pixels, above the outer
# bottom edge, frame included, as the window's layout counts it).
composer_places() {
    info=$(xwininfo -id "$1")
    X=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
    Y=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
    inner_height=$(echo "$info" | awk '/Height:/ {print $2}')
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    button_y=$(echo "$extents" | awk -v y="$Y" -v h="$inner_height" '{print y + h + $3 + $4 - 60 + 12}')
}
