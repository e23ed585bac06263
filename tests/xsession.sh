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
# The program's one setting goes here, not into the user's own.
export XDG_CONFIG_HOME="$work/config"
# E2E_FRAME=thick: a theme whose frame is far thicker than the one the composer's
# layout was made for (8 pixels a side), as some desktops draw them.
if [ "${E2E_FRAME:-}" = thick ]; then
    mkdir -p "$work/data/themes/Thick"
    cp -r /usr/share/themes/Clearlooks/openbox-3 "$work/data/themes/Thick/"
    sed -i '/^border.width/d' "$work/data/themes/Thick/openbox-3/themerc"
    echo 'border.width: 8' >>"$work/data/themes/Thick/openbox-3/themerc"
    sed 's|<name>Clearlooks</name>|<name>Thick</name>|' /etc/xdg/openbox/rc.xml >"$work/rc.xml"
    XDG_DATA_HOME="$work/data" openbox --config-file "$work/rc.xml" >/dev/null 2>&1 &
else
    openbox >/dev/null 2>&1 &
fi
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

# Starts the program, the command "$@", its output added to $work/stdout and
# $work/stderr, and waits for its composer window: sets app, its process, win, the
# window, and the window's places (composer_places).
start_composer() {
    "$@" >>"$work/stdout" 2>>"$work/stderr" &
    app=$!
    pids="$app $pids"
    win=$(window_named "Armenian-English text composer")
    xdotool windowactivate --sync "$win" 2>/dev/null || true
    sleep "${settle:-0.5}"
    composer_places "$win"
}

# Sets X and Y, the composer window's inner area on the screen, and button_y, a row
# through its command buttons: their top is 900 twips above the outer bottom edge
# as the layout counts it, the inner size plus a frame of 405 twips in height, so
# 495 twips (33 pixels) above the inner bottom edge whatever frame is drawn.
composer_places() {
    info=$(xwininfo -id "$1")
    X=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
    Y=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
    inner_height=$(echo "$info" | awk '/Height:/ {print $2}')
    button_y=$((Y + inner_height - 33 + 12))
}

# In the composer placed by composer_places: types "Barev Dzez", presses Convert and
# Save with the mouse, dismisses the confirmation, and checks the bytes saved in
# the folder $1, the program's own.
convert_and_save() {
    xdotool mousemove $((X + 60)) $((Y + 40)) click 1
    sleep 0.3
    xdotool key ctrl+a
    xdotool type --delay 40 "Barev Dzez"
    sleep 0.3
    xdotool mousemove $((X + 8 + 52)) "$button_y" click 1   # Convert
    sleep 0.5
    xdotool mousemove $((X + 182 + 20)) "$button_y" click 1 # Save
    box=$(window_named "Save succesfull")
    xdotool windowactivate --sync "$box" 2>/dev/null || true
    sleep 0.3
    xdotool key Return
    for _ in $(seq 100); do xdotool search --name "^Save succesfull\$" >/dev/null 2>&1 || break; sleep 0.05; done
    printf 'To open this text in Word use Unicode UTF-7 encoding. \r\n\r\n\264\263\361\250 \322\273\275' >"$work/expected"
    cmp "$work/expected" "$1/output.txt"
}

# Closes the composer as a user would, and checks that the program, process $1,
# ended with it.
close_composer() {
    wmctrl -c "Armenian-English text composer"
    for _ in $(seq 200); do kill -0 "$1" 2>/dev/null || break; sleep 0.05; done
    if kill -0 "$1" 2>/dev/null; then
        echo "the program is still running after its window was closed" >&2
        return 1
    fi
}
# What the composer's output box holds, through the clipboard: a click into it, then
# select all and copy, until the clipboard changes.
output_box() {
    text2_y=$((Y + ((inner_height * 15 + 405) / 2 - 500) / 15 + 20))
    printf 'nothing copied' | xclip -selection clipboard
    for _ in $(seq 50); do
        xdotool mousemove $((X + 60)) "$text2_y" click 1 key ctrl+a key ctrl+c
        [ "$(xclip -o -selection clipboard)" != "nothing copied" ] && break
        sleep 0.1
    done
    xclip -o -selection clipboard
}
# Checks that "$1" is "$2", named $3.
same() {
    [ "$1" = "$2" ] && return 0
    echo "$3: '$1', expected '$2'" >&2
    return 1
}
# In the composer placed by composer_places, from the keyboard: Ctrl+L turns
# converting as you type on and typing shows it, F1 opens Help, Ctrl+Shift+S saves the
# output box as UTF-8 through the dialog into the file $1 (as the dialog is to be
# given it), whose bytes end up in $2.
keyboard_session() {
    xdotool mousemove $((X + 60)) $((Y + 40)) click 1
    sleep 0.3
    xdotool key ctrl+a key ctrl+l
    xdotool type --delay 40 "vonc es"
    sleep 0.5
    same "$(output_box)" "ոնց ես" "typed with Ctrl+L on, the output box"
    xdotool mousemove $((X + 60)) $((Y + 40)) click 1 key ctrl+a
    xdotool type --delay 40 "Barev"
    xdotool key ctrl+Return
    sleep 0.5
    same "$(output_box)" "Բարև" "Ctrl+Enter, the output box"
    xdotool key F1
    for _ in $(seq 100); do xdotool search --name "Coding" >/dev/null 2>&1 && break; sleep 0.1; done
    xdotool search --name "Coding" >/dev/null
    xdotool windowactivate --sync "$win" 2>/dev/null || true
    sleep 0.3
    xdotool key ctrl+shift+s
    dialog=$(window_named "Save as UTF-8")
    xdotool windowactivate --sync "$dialog" 2>/dev/null || true
    sleep 1
    # Wine's file name field takes no Ctrl+A.
    xdotool key End shift+Home
    xdotool type --delay 20 "$1"
    xdotool key Return
    for _ in $(seq 100); do [ -s "$2" ] && break; sleep 0.1; done
    same "$(cat "$2" 2>/dev/null)" "Բարև" "the file Save as UTF-8 wrote"
}
# Starts the program again, the command "$@", and checks that converting as you type
# is still on, then closes it.
live_after_restart() {
    start_composer "$@"
    xdotool mousemove $((X + 60)) $((Y + 40)) click 1 key ctrl+a
    xdotool type --delay 40 "Barev"
    sleep 0.5
    same "$(output_box)" "Բարև" "converting as you type, after a new start"
    close_composer "$app"
}

