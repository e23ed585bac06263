#!/bin/sh
# The real Windows program under wine, with Qt's own windows platform (not the
# offscreen one) on an X server: start, type, Convert, Save, the saved bytes,
# About and Help open, and closing the composer ends the program; then the keys, the
# Save as UTF-8 dialog and converting as you type, remembered in the registry.
#   usage: e2e-window.sh FOLDER   (the folder the zip was packed from)
set -eu
. "$(dirname "$0")/../xsession.sh"
export WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/vesnor/wine}
# Wine's server and desktop start here, once the X server is up: started before
# it, they have no display to make windows on.
wineserver -k 2>/dev/null || true
wineserver -p
wineboot -i >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true; stop_session' EXIT
# The setting from an earlier run is gone: converting as you type starts off.
wine reg delete 'HKCU\Software\vesnor.example' /f >/dev/null 2>&1 || true
# The program saves beside itself, so it runs from a copy.
cp -r "$1" "$work/vesnor"
# Wine frames its windows more slowly than a native program is framed.
settle=1
start_composer wine "$work/vesnor/vesnor.exe"

convert_and_save "$work/vesnor"
echo "Windows program: saved bytes match"

xdotool mousemove $((X + 236 + 37)) "$button_y" click 1 # About
window_named "About" >/dev/null
echo "Windows program: About opened"
xdotool mousemove $((X + 343 + 20)) "$button_y" click 1 # Help
for _ in $(seq 100); do xdotool search --name "Coding" >/dev/null 2>&1 && break; sleep 0.1; done
xdotool search --name "Coding" >/dev/null
echo "Windows program: Help opened"

close_composer "$app"
echo "Windows program: closing the composer ended it"

# Wine frames its windows more slowly than a native program is framed.
settle=1
start_composer wine "$work/vesnor/vesnor.exe"
xdotool windowactivate --sync "$win" 2>/dev/null || true
sleep 1
composer_places "$win"
keyboard_session "$(winepath -w "$work/typed.txt")" "$work/typed.txt"
echo "Windows program: the keys, Help, the Save as UTF-8 dialog and converting as you type work"
close_composer "$app"
live_after_restart wine "$work/vesnor/vesnor.exe"
echo "Windows program: converting as you type is remembered across starts"
