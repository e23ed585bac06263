#!/bin/sh
# Processor time the program uses while an auxiliary window animates: opens About
# (then Help) under Xvfb and reads the process's CPU seconds over 10 s of each.
set -eu
. "$(dirname "$0")/../tests/xsession.sh"
start_composer "${1:-build/bin/vesnor}"

cpu_seconds() { awk -v hz="$(getconf CLK_TCK)" '{printf "%.2f", ($14 + $15) / hz}' "/proc/$app/stat"; }
composer_places "$win"

printf '%-44s %s\n' "window animating (10 s wall each)" "CPU seconds"
for which in About Help; do
    if [ "$which" = About ]; then x=$((X + 236 + 37)); else x=$((X + 343 + 21)); fi
    xdotool mousemove "$x" "$button_y" click 1
    title=$which
    [ "$which" = Help ] && title=".*Coding"
    window_named "$title" >/dev/null
    before=$(cpu_seconds)
    sleep 10
    after=$(cpu_seconds)
    awk -v w="$which window open" -v a="$before" -v b="$after" 'BEGIN {printf "%-44s %.2f\n", w, b - a}'
done
