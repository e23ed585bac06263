#!/bin/sh
# vesnor-convert against iconv on the same 20 MiB UTF-8 files, in the same run:
# median wall time over repeated runs (hyperfine), and the converter's peak memory.
set -eu
convert=${1:-build/bin/vesnor-convert}
bench=$(dirname "$convert")/vesnor-bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" --write-corpus "$work" 20

printf '\n%-40s %10s %12s\n' "20 MiB UTF-8 file, output discarded" "median ms" "peak RSS MB"
echo "(peak memory goal: under 20 MB for any input)"
for dir in eng-arm arm-eng; do
    file=$work/latin.txt
    [ "$dir" = arm-eng ] && file=$work/armenian.txt
    hyperfine -N -w 2 -r 21 --output=null --export-csv "$work/$dir.csv" \
        "$convert --$dir $file" "iconv -f UTF-8 -t ARMSCII-8 $file" > /dev/null 2>&1
    /usr/bin/time -f '%M' -o "$work/rss" "$convert" --$dir "$file" > /dev/null
    rss=$(awk '{printf "%.1f", $1 / 1024}' "$work/rss")
    /usr/bin/time -f '%M' -o "$work/rss" iconv -f UTF-8 -t ARMSCII-8 "$file" > /dev/null
    iconv_rss=$(awk '{printf "%.1f", $1 / 1024}' "$work/rss")
    # CSV columns: command, mean, stddev, median, ... (seconds)
    awk -F, -v a="vesnor-convert --$dir" -v r1="$rss" -v r2="$iconv_rss" '
        NR == 2 { ours = $4 }
        NR == 3 { theirs = $4 }
        END {
            printf "%-40s %10.1f %12s\n", a, ours * 1000, r1
            printf "%-40s %10.1f %12s\n", "iconv -f UTF-8 -t ARMSCII-8 (same file)", theirs * 1000, r2
            printf "%-40s %10.2f   (goal: at most 0.50)\n", "  vesnor-convert / iconv", ours / theirs
        }' "$work/$dir.csv"
done
