#!/bin/sh
# vesnor-convert against iconv on the same 20 MiB UTF-8 files: median processor time
# (user + system) over rounds in which the commands take turns, so that a machine
# whose speed drifts favours neither; and the converter's peak memory. cat of the
# same file shows what reading it costs here.
set -eu
convert=${1:-build/bin/vesnor-convert}
bin=$(dirname "$convert")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/vesnor-bench" --write-corpus "$work" 20

printf '\n%-40s %10s %10s %12s\n' "20 MiB UTF-8 file, output discarded" "CPU ms" "wall ms" \
    "peak RSS MB"
echo "(medians of 21 rounds; peak memory goal: under 20 MB for any input)"
for dir in eng-arm arm-eng; do
    file=$work/latin.txt
    [ "$dir" = arm-eng ] && file=$work/armenian.txt
    "$bin/vesnor-cputime" 21 "$convert" --$dir "$file" \
        -- iconv -f UTF-8 -t ARMSCII-8 "$file" -- cat "$file" > "$work/times"
    /usr/bin/time -f '%M' -o "$work/rss" "$convert" --$dir "$file" > /dev/null
    rss=$(awk '{printf "%.1f", $1 / 1024}' "$work/rss")
    /usr/bin/time -f '%M' -o "$work/rss" iconv -f UTF-8 -t ARMSCII-8 "$file" > /dev/null
    iconv_rss=$(awk '{printf "%.1f", $1 / 1024}' "$work/rss")
    awk -v a="vesnor-convert --$dir" -v r1="$rss" -v r2="$iconv_rss" '
        NR == 1 { ours = $1; oursWall = $2 }
        NR == 2 { theirs = $1; theirsWall = $2 }
        NR == 3 { reading = $1; readingWall = $2 }
        END {
            printf "%-40s %10.1f %10.1f %12s\n", a, ours, oursWall, r1
            printf "%-40s %10.1f %10.1f %12s\n", "iconv -f UTF-8 -t ARMSCII-8 (same file)", theirs, theirsWall, r2
            printf "%-40s %10.1f %10.1f\n", "cat (same file, reading alone)", reading, readingWall
            printf "%-40s %10.2f   (goal: at most 0.50)\n", "  vesnor-convert / iconv, CPU", ours / theirs
        }' "$work/times"
done
