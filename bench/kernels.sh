#!/bin/sh
# vesnor-convert with each kernel this processor has forced in turn, each figure
# beside its goal and its baseline measured in the same run: processor time (user +
# system), medians of rounds in which the commands take turns.
#
# The real text is every Armenian string of the hy translations installed here
# (msgunfmt over /usr/share/locale/hy/LC_MESSAGES/*.mo), repeated to 20 MiB, and
# the same text turned into Latin by --arm-eng; real prose carries characters the
# 8-bit text lacks (․ – « »), which is where a converter can lose its speed.
set -eu
convert=${1:-build/bin/vesnor-convert}
bin=$(dirname "$convert")
cputime=$bin/vesnor-cputime
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for mo in /usr/share/locale/hy/LC_MESSAGES/*.mo; do
    msgunfmt "$mo"
done | awk -f "$(dirname "$0")/po-strings.awk" > "$work/once.txt"
[ -s "$work/once.txt" ] || { echo "kernels.sh: no Armenian translations found" >&2; exit 1; }

# At least `megabytes` of `from` repeated.
grow() {
    from=$1 to=$2 megabytes=$3
    : > "$to"
    while [ "$(wc -c < "$to")" -lt $((megabytes << 20)) ]; do
        cat "$from" >> "$to"
    done
}
grow "$work/once.txt" "$work/real-hy.txt" 20
VESNOR_KERNEL=portable "$convert" --arm-eng "$work/real-hy.txt" > "$work/real-latin.txt"
# --8bit reads and writes the 8-bit text: Save's body of the same text (the header
# line and the blank line after it left out), and that body turned into Latin.
grow "$work/once.txt" "$work/hy-5.txt" 5
"$convert" --encode --lossy "$work/hy-5.txt" 2>/dev/null | tail -n +3 > "$work/hy-5.8bit"
grow "$work/hy-5.8bit" "$work/hy-100.8bit" 100
VESNOR_KERNEL=portable "$convert" --arm-eng --8bit "$work/hy-100.8bit" > "$work/latin-100.8bit"
# Peak memory is taken on 100 MB.
grow "$work/real-latin.txt" "$work/latin-100.txt" 100
grow "$work/real-hy.txt" "$work/hy-100.txt" 100
# Latin words, and the same with one ’ (a character the 8-bit text lacks) per KB.
"$bin/vesnor-bench" --write-corpus "$work" 20
awk 'BEGIN { RS = "\n" } { n += length($0) + 1; print; if (n >= 1024) { printf "’"; n = 0 } }' \
    "$work/latin.txt" > "$work/latin-quote.txt"
# Both files of that pair are written the same way, in large pieces: a file written
# a line at a time sits in the page cache in small pieces, and reading it then costs
# the kernel half as much again (cat: 5.2 ms against 3.0 for the same 20 MiB), which
# would be counted against the ’.
for file in latin latin-quote; do
    cat "$work/$file.txt" > "$work/$file.tmp"
    mv "$work/$file.tmp" "$work/$file.txt"
done
: > "$work/empty.txt"
# About a kilobyte: whole lines up to 1024 bytes.
kilobyte() { LC_ALL=C awk '{ n += length($0) + 1 } n > 1024 { exit } { print }' "$1"; }
kilobyte "$work/real-latin.txt" > "$work/latin-1k.txt"
kilobyte "$work/real-hy.txt" > "$work/hy-1k.txt"

size() { wc -c < "$1"; }
report() { # figure, measured, goal text, met (1/0)
    if [ "$4" = 1 ]; then verdict=met; else verdict=MISSED; fi
    printf '  %-52s %12s   %-14s %s\n' "$1" "$2" "$3" "$verdict"
}

echo
echo "vesnor-convert with each kernel forced (processor time, medians; goals beside)"
for kernel in portable avx2 avx512; do
    if ! VESNOR_KERNEL=$kernel "$convert" --version | grep -q "^Kernel: $kernel "; then
        echo "kernel $kernel: this processor does not have it; skipped"
        continue
    fi
    export VESNOR_KERNEL=$kernel
    echo "kernel $kernel"
    real_goal=0.25
    [ $kernel = portable ] && real_goal=0.60

    "$cputime" 11 "$convert" --arm-eng "$work/real-hy.txt" \
        -- iconv -c -f UTF-8 -t ARMSCII-8 "$work/real-hy.txt" \
        -- "$convert" --eng-arm "$work/real-latin.txt" \
        -- iconv -c -f UTF-8 -t ARMSCII-8 "$work/real-latin.txt" > "$work/t"
    set -- $(awk '{ print $1 }' "$work/t")
    for dir in arm-eng eng-arm; do
        ours=$1 theirs=$2
        shift 2
        ratio=$(echo "$ours $theirs" | awk '{ printf "%.2f", $1 / $2 }')
        report "real text --$dir, ${ours} ms / iconv -c ${theirs} ms" "${ratio}x" \
            "<= ${real_goal}x" "$(echo "$ratio $real_goal" | awk '{ print ($1 <= $2) }')"
    done

    "$cputime" 11 "$convert" --eng-arm "$work/latin.txt" \
        -- "$convert" --eng-arm "$work/latin-quote.txt" > "$work/t"
    set -- $(awk '{ print $1 }' "$work/t")
    ratio=$(echo "$1 $2" | awk '{ printf "%.2f", $2 / $1 }')
    report "Latin with one ’ per KB, $2 ms / without $1 ms" "${ratio}x" "<= 1.20x" \
        "$(echo "$ratio" | awk '{ print ($1 <= 1.2) }')"

    "$cputime" 5 "$convert" --eng-arm --8bit "$work/latin-100.8bit" \
        -- "$convert" --arm-eng --8bit "$work/hy-100.8bit" > "$work/t"
    set -- $(awk '{ print $1 }' "$work/t")
    for each in "eng-arm $(size "$work/latin-100.8bit") $1" "arm-eng $(size "$work/hy-100.8bit") $2"; do
        set -- $each
        rate=$(echo "$2 $3" | awk '{ printf "%.0f", $1 / 1e6 / ($2 / 1000) }')
        case $kernel in
        avx512) goal=2000 ;;
        avx2) goal=1500 ;;
        *) goal=0 ;;
        esac
        if [ $goal = 0 ]; then
            printf '  %-52s %12s   %s\n' "--$1 --8bit, $(($2 >> 20)) MiB" "$rate MB/s" "(no goal)"
        else
            report "--$1 --8bit, $(($2 >> 20)) MiB" "$rate MB/s" ">= $goal MB/s" \
                "$(echo "$rate $goal" | awk '{ print ($1 >= $2) }')"
        fi
    done

    for input in empty latin-1k hy-1k; do
        file=$work/$input.txt
        dir=eng-arm
        [ $input = hy-1k ] && dir=arm-eng
        [ $input = empty ] && dirs="eng-arm arm-eng" || dirs=$dir
        for dir in $dirs; do
            "$cputime" 41 "$convert" --$dir "$file" -- "$convert" --$dir --8bit "$file" \
                -- cat "$file" > "$work/t"
            set -- $(awk '{ print $1 }' "$work/t")
            for mode in "UTF-8 $1" "8-bit $2"; do
                set -- $mode $3
                ratio=$(echo "$2 $3" | awk '{ printf "%.2f", $1 / $2 }')
                report "$input --$dir, $1: $2 ms / cat $3 ms" "${ratio}x" "<= 1.30x" \
                    "$(echo "$ratio" | awk '{ print ($1 <= 1.3) }')"
            done
        done
    done

    for dir in eng-arm arm-eng; do
        file=$work/latin-100.txt
        [ $dir = arm-eng ] && file=$work/hy-100.txt
        /usr/bin/time -f '%M' -o "$work/rss" "$convert" --$dir "$file" > /dev/null
        rss=$(awk '{ printf "%.1f", $1 / 1024 }' "$work/rss")
        report "peak memory, --$dir of $(($(size "$file") >> 20)) MiB" "$rss MB" "a few MB" \
            "$(echo "$rss" | awk '{ print ($1 <= 8) }')"
    done
done
