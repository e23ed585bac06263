#!/bin/sh
# How quickly the program answers, under Xvfb: from start to its window shown
# (median of 10 starts), and from the click on Convert to the result shown for a
# 1 MiB text with line breaks (median of 5), taken as the last moment the program
# used the processor after the click.
set -eu
. "$(dirname "$0")/../tests/xsession.sh"
program=${1:-build/bin/vesnor}
title="Armenian-English text composer"
ms() { date +%s%3N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for _ in $(seq 10); do
    start=$(ms)
    "$program" 2>/dev/null &
    app=$!
    until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do sleep 0.005; done
    echo $(($(ms) - start))
    kill "$app"; wait "$app" 2>/dev/null || true
done | median | awk '{ printf "%-52s %6d ms   (goal: under 250 ms)\n", "start to window shown, median of 10", $1 }'

start_composer "$program"
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
# The last moment the program used the processor, once it has been idle for 300 ms.
last_busy() {
    prev=$(ticks); last=$(ms)
    while :; do
        sleep 0.01
        cur=$(ticks)
        if [ "$cur" != "$prev" ]; then last=$(ms); prev=$cur; fi
        [ $(($(ms) - last)) -ge 300 ] && break
    done
    echo "$last"
}
composer_places "$win"

awk 'BEGIN { srand(2); split("Barev Dzez vonc es Yerevan shnorhakal em ayo voch inch ka", w, " ");
             n = 0; while (n < 1048576) { s = w[int(rand() * 11) + 1] (rand() < 0.1 ? "\n" : " ");
             printf "%s", s; n += length(s) } }' >"$work/text.txt"
xclip -selection clipboard <"$work/text.txt" &
sleep 0.3
xdotool mousemove $((X + 60)) $((Y + 40)) click 1
xdotool key ctrl+a ctrl+v
last_busy >/dev/null
for _ in $(seq 5); do
    start=$(ms)
    xdotool mousemove $((X + 60)) "$button_y" click 1
    echo $(($(last_busy) - start))
done | median | awk '{ printf "%-52s %6d ms   (goal: under 150 ms)\n", "Convert of 1 MiB with line breaks, click to shown", $1 }'
