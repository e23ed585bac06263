#!/bin/sh
# The Windows installer under wine, as a user without administrator rights runs it
# silently: it installs for the user, the installed vesnor-convert.exe converts,
# the Start menu has its shortcut and the installed apps list Vesnor with its
# version; the uninstaller, silent too, leaves nothing behind.
#   usage: installer.sh SETUP.exe VERSION   (inside scripts/wine-session.sh)
set -eu
setup=$(realpath "$1")
version=$2
export WINEDEBUG=-all
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vesnor'
unix() { winepath -u "$(wine cmd /c echo "$1" 2>/dev/null | tr -d '\r"')" 2>/dev/null; }
dir=$(unix '%LOCALAPPDATA%\Programs\Vesnor')
link=$(unix '%APPDATA%\Microsoft\Windows\Start Menu\Programs\Vesnor.lnk')
fail=0
say() { if [ "$1" = 0 ]; then echo "ok: $2"; else echo "FAILED: $2" >&2; fail=1; fi; }
ok() { "$@" >/dev/null 2>&1 && echo 0 || echo 1; }

wine "$setup" /S
for _ in $(seq 120); do [ -f "$dir/Uninstall.exe" ] && break; sleep 0.5; done
say "$(ok test -f "$dir/vesnor.exe")" "vesnor.exe in $dir"
say "$(ok test -f "$dir/platforms/qwindows.dll")" "the platform plugin beside it"
say "$(ok test -f "$dir/THIRD-PARTY.txt")" "THIRD-PARTY.txt"
say "$(ok test -f "$link")" "the Start menu shortcut"
listed=$(wine reg query "$key" /v DisplayVersion 2>/dev/null | tr -d '\r' | awk '/DisplayVersion/ {print $3}')
say "$([ "$listed" = "$version" ] && echo 0 || echo 1)" "listed among installed apps as $version ($listed)"
icon=$(wine reg query "$key" /v DisplayIcon 2>/dev/null | tr -d '\r' | grep -c 'vesnor.exe' || true)
say "$([ "$icon" = 1 ] && echo 0 || echo 1)" "with the program's icon"
converted=$(printf 'Barev' | wine "$dir/vesnor-convert.exe" 2>/dev/null || true)
say "$([ "$converted" = "Բարև" ] && echo 0 || echo 1)" "the installed vesnor-convert.exe converts ($converted)"

wine "$dir/Uninstall.exe" /S
# The uninstaller runs on from a copy of itself and ends when it is done.
for _ in $(seq 120); do [ -e "$dir" ] || break; sleep 0.5; done
say "$([ -e "$dir" ] && echo 1 || echo 0)" "the uninstaller removed $dir"
say "$([ -e "$link" ] && echo 1 || echo 0)" "and the shortcut"
say "$(wine reg query "$key" >/dev/null 2>&1 && echo 1 || echo 0)" "and the entry among installed apps"
exit $fail
