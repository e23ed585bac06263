#!/bin/sh
# vesnor-convert.exe under wine against the Linux build, byte for byte: standard
# output, exit status and message, for each input in both directions and both
# modes, given as FILE, redirected from the file, and piped.
#   usage: compare.sh LINUX_CONVERTER WINDOWS_CONVERTER
set -eu
linux=$1
windows=$2
export WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The corpus: line ends of both kinds, byte 1A, 8-bit letters, invalid UTF-8 early
# and past the first read chunk, Armenian letters, and a large text.
printf 'Barev Dzez,\r\nvonc es?\r\nOv es\r\n' >"$work/crlf.txt"
printf 'Barev,\nvonc es?\nye\tvo\n' >"$work/lf.txt"
printf 'a\032b\032\032vo \032' >"$work/sub.txt"
printf '\264\263\361\250 \322\273\275\r\n\341\355\n' >"$work/eightbit.txt"
printf 'Barev\377Dzez' >"$work/invalid.txt"
printf 'Բարև Ձեզ, ոնց ես?\r\nԵրևան\n' >"$work/armenian.txt"
printf '' >"$work/empty.txt"
awk 'BEGIN { for (i = 0; i < 140000; i++) printf "x"; printf "\303(" }' >"$work/late-invalid.txt"
awk 'BEGIN { srand(3); split("Barev Dzez vonc es Yerevan shnorhakal em ayo voch", w, " ");
             for (i = 0; i < 200000; i++) printf "%s%s", w[int(rand() * 9) + 1], (i % 13 ? " " : "\r\n") }' \
    >"$work/large.txt"
awk 'BEGIN { for (i = 0; i < 3000; i++) printf "Ձեզ Երևան ով ես\n" }' >"$work/large-armenian.txt"

same=0
differ=0
for input in "$work"/*.txt; do
    for direction in --eng-arm --arm-eng; do
        for mode in "" --8bit; do
            for how in file redirect pipe; do
                for side in linux windows; do
                    if [ "$side" = linux ]; then run="$linux"; else run="wine $windows"; fi
                    out="$work/$side.out"
                    err="$work/$side.err"
                    case $how in
                    file) $run $direction $mode "$input" >"$out" 2>"$err" && s=0 || s=$? ;;
                    redirect) $run $direction $mode <"$input" >"$out" 2>"$err" && s=0 || s=$? ;;
                    pipe) cat "$input" | $run $direction $mode >"$out" 2>"$err" && s=0 || s=$? ;;
                    esac
                    echo "$s" >"$work/$side.status"
                    # A message names the file as it was given; wine's console
                    # ends lines with CR LF.
                    tr -d '\r' <"$err" >"$err.plain"
                done
                if cmp -s "$work/linux.out" "$work/windows.out" &&
                    cmp -s "$work/linux.status" "$work/windows.status" &&
                    cmp -s "$work/linux.err.plain" "$work/windows.err.plain"; then
                    same=$((same + 1))
                else
                    differ=$((differ + 1))
                    echo "differs: $(basename "$input") $direction $mode $how" \
                        "(status $(cat "$work/linux.status") / $(cat "$work/windows.status"))"
                fi
            done
        done
    done
done
echo "vesnor-convert.exe against the Linux build: $same identical, $differ different"
[ "$differ" -eq 0 ]
