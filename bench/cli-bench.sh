#!/bin/sh
# vesnor-convert against iconv on the same 20 MiB UTF-8 files, in the same run:
# median wall time of 5 runs each, and the converter's peak memory.
set -eu
convert=${1:-build/bin/vesnor-convert}
bench=$(dirname "$convert")/vesnor-bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" --write-corpus "$work" 20

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
measure() { # prints "seconds kilobytes" of one run
    /usr/bin/time -f '%e %M' -o "$work/t" "$@" > /dev/null
    cat "$work/t"
}
stat_of() { # median seconds and peak kilobytes over 5 runs
    for _ in 1 2 3 4 5; do measure "$@"; done > "$work/runs"
    printf '%s %s\n' "$(cut -d' ' -f1 < "$work/runs" | median)" \
        "$(cut -d' ' -f2 < "$work/runs" | sort -n | tail -1)"
}

printf '%-34s %10s %12s\n' "20 MiB UTF-8 file" "median s" "peak RSS MB"
for dir in eng-arm arm-eng; do
    file=$work/latin.txt
    [ "$dir" = arm-eng ] && file=$work/armenian.txt
    set -- $(stat_of "$convert" --$dir "$file")
    printf '%-34s %10s %12.1f\n' "vesnor-convert --$dir" "$1" "$(echo "$2/1024" | bc -l)"
    set -- $(stat_of iconv -f UTF-8 -t ARMSCII-8 "$file")
    printf '%-34s %10s %12.1f\n' "iconv -f UTF-8 -t ARMSCII-8 (same)" "$1" "$(echo "$2/1024" | bc -l)"
done
