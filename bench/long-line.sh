#!/bin/sh
# One very long line pasted into the input box, as a user pastes it: how long until
# the program is idle again, its processor time over the next 10 s, the same for
# Convert, and the peak memory. Needs xclip.
set -eu
. "$(dirname "$0")/../tests/xsession.sh"
start_composer "${1:-build/bin/vesnor}"

ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
hz=$(getconf CLK_TCK)
now() { date +%s.%N; }
# Waits until the process has used no processor time for a quarter of a second.
settle() {
    prev=$(ticks)
    while sleep 0.25; do
        cur=$(ticks)
        [ "$cur" = "$prev" ] && break
        prev=$cur
    done
}
idle_ticks() { before=$(ticks); sleep 10; echo $(($(ticks) - before)); }

composer_places "$win"

# 5 MB of everyday words, no line break.
awk 'BEGIN { srand(1); split("barev dzez vonc es yerevan hayastan lav inch ka voch ayo", w, " ");
             n = 0; while (n < 5000000) { s = w[int(rand() * 11) + 1] " "; printf "%s", s; n += length(s) } }' \
    >"$work/long.txt"
xclip -selection clipboard <"$work/long.txt" &
sleep 0.5
xdotool mousemove $((X + 60)) $((Y + 40)) click 1
xdotool key ctrl+a
start=$(now)
xdotool key ctrl+v
settle
echo "paste of a 5 MB line: idle after $(echo "$(now) - $start - 0.25" | bc) s," \
    "then $(idle_ticks) / $hz CPU seconds over 10 s"
start=$(now)
xdotool mousemove $((X + 60)) "$button_y" click 1
settle
echo "Convert of it: idle after $(echo "$(now) - $start - 0.25" | bc) s," \
    "then $(idle_ticks) / $hz CPU seconds over 10 s"
echo "peak memory: $(awk '/VmHWM/ {print $2, $3}' "/proc/$app/status")"
