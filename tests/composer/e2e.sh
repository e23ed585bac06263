#!/bin/sh
# The real program under X: type, press Convert and Save with the mouse, dismiss the
# confirmation, check the saved bytes; then open About and close the composer window,
# which must end the program at once. Last, the saved file given on the command line
# opens in the input box as the text that was saved.
set -eu
. "$(dirname "$0")/../xsession.sh"

# The program saves beside itself, so it runs from a scratch directory.
cp "$1" "$work/vesnor"
start_composer "$work/vesnor"

# Twice the centre of a window's frame, title bar included, once the window
# manager has framed it; the screen is 1024 x 768.
centre_twice() {
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep '=' | sed 's/.*= //; s/,//g')
    [ -n "$extents" ] || return 1
    set -- $extents $(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print $4}
        /Absolute upper-left Y/ {print $4} /Width:/ {print $2} /Height:/ {print $2}')
    echo $(( ($5 - $1) * 2 + $1 + $2 + $7 )) $(( ($6 - $3) * 2 + $3 + $4 + $8 ))
}
centred() {
    for _ in $(seq 100); do
        if at=$(centre_twice "$1"); then
            set -- "$1" $at
            [ $(($2 - 1024)) -ge -2 ] && [ $(($2 - 1024)) -le 2 ] &&
                [ $(($3 - 768)) -ge -2 ] && [ $(($3 - 768)) -le 2 ] && return 0
        fi
        sleep 0.05
    done
    echo "window $1 is not centred: twice its centre is ${2:-unknown},${3:-}" >&2
    return 1
}
centred "$win"


composer_places "$win"

convert_and_save "$work"
echo "saved bytes match"

xdotool mousemove $((X + 236 + 37)) "$button_y" click 1 # About
about=$(window_named "About")
sleep 0.5
centred "$about"

# Minimised, the About window has no taskbar entry: About brings it back.
viewable() { xwininfo -id "$1" | grep -q IsViewable; }
xdotool windowminimize "$about"
for _ in $(seq 100); do viewable "$about" || break; sleep 0.05; done
! viewable "$about"
xdotool mousemove $((X + 236 + 37)) "$button_y" click 1 # About
for _ in $(seq 100); do viewable "$about" && break; sleep 0.05; done
viewable "$about"
echo "About came back from minimised"
close_composer "$app"
wait "$app"
echo "closing the composer ended the program"

start_composer "$work/vesnor"
composer_places "$win"
keyboard_session "$work/typed.txt" "$work/typed.txt"
echo "the keys, Help, the Save as UTF-8 dialog and converting as you type work"
close_composer "$app"
live_after_restart "$work/vesnor"
echo "converting as you type is remembered across starts"

start_composer "$work/vesnor" "$work/output.txt"
printf 'nothing copied' | xclip -selection clipboard
for _ in $(seq 50); do
    xdotool mousemove $((X + 60)) $((Y + 40)) click 1 key ctrl+a key ctrl+c
    [ "$(xclip -o -selection clipboard)" = "Բարև Ձեզ" ] && break
    sleep 0.1
done
opened=$(xclip -o -selection clipboard)
if [ "$opened" != "Բարև Ձեզ" ]; then
    echo "the saved file given on the command line opened as '$opened'" >&2
    exit 1
fi
echo "the saved file opened from the command line as the text that was saved"
close_composer "$app"
wait "$app"
