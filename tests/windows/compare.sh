#!/bin/sh
# vesnor-convert.exe under wine against the Linux build, byte for byte: standard
# output, exit status and message, for each input in both directions and both
# modes, decoded and encoded, given as FILE, redirected from the file, and piped;
# then a folder decoded file by file beside itself.
#   usage: compare.sh LINUX_CONVERTER WINDOWS_CONVERTER
set -eu
# Absolute, since the folder run below starts them from elsewhere.
linux=$(realpath "$1")
windows=$(realpath "$2")
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
printf 'To open this text in Word use Unicode UTF-7 encoding. \r\n\r\n\264\263\361\250\r\n\000\032' >"$work/saved.txt"
printf 'Բարև … “Ձեզ”\r\n' >"$work/unencodable.txt"
awk 'BEGIN { for (i = 0; i < 140000; i++) printf "x"; printf "\303(" }' >"$work/late-invalid.txt"
awk 'BEGIN { srand(3); split("Barev Dzez vonc es Yerevan shnorhakal em ayo voch", w, " ");
             for (i = 0; i < 200000; i++) printf "%s%s", w[int(rand() * 9) + 1], (i % 13 ? " " : "\r\n") }' \
    >"$work/large.txt"
awk 'BEGIN { for (i = 0; i < 3000; i++) printf "Ձեզ Երևան ով ես\n" }' >"$work/large-armenian.txt"

same=0
differ=0
# One side's run of one case: its output, status and messages in $work/SIDE.*.
run_case() {
    if [ "$1" = linux ]; then run="$linux"; else run="wine $windows"; fi
    out="$work/$1.out"
    err="$work/$1.err"
    case $how in
    file) $run $options "$input" >"$out" 2>"$err" && s=0 || s=$? ;;
    redirect) $run $options <"$input" >"$out" 2>"$err" && s=0 || s=$? ;;
    pipe) cat "$input" | $run $options >"$out" 2>"$err" && s=0 || s=$? ;;
    esac
    echo "$s" >"$work/$1.status"
    # A message names the file as it was given; wine's console ends lines with CR LF.
    tr -d '\r' <"$err" >"$err.plain"
}
agree() {
    cmp -s "$work/linux.out" "$work/windows.out" &&
        cmp -s "$work/linux.status" "$work/windows.status" &&
        cmp -s "$work/linux.err.plain" "$work/windows.err.plain"
}

for input in "$work"/*.txt; do
    for options in --eng-arm "--eng-arm --8bit" --arm-eng "--arm-eng --8bit" --decode --encode \
        "--encode --lossy"; do
        for how in file redirect pipe; do
            run_case linux
            run_case windows
            # On a loaded machine wine now and then loses its server or a standard
            # handle, and the program never really ran; the converter itself gives
            # the same output every time, so a second run tells the two apart.
            if ! agree; then
                echo "again under wine: $(basename "$input") $options $how" \
                    "(status $(cat "$work/linux.status") / $(cat "$work/windows.status");" \
                    "$(head -c 100 "$work/windows.err.plain"))"
                run_case windows
            fi
            if agree; then
                same=$((same + 1))
            else
                differ=$((differ + 1))
                echo "differs: $(basename "$input") $options $how" \
                    "(status $(cat "$work/linux.status") / $(cat "$work/windows.status"))"
                for side in linux windows; do
                    echo "  $side: $(head -c 200 "$work/$side.out" | od -An -c | head -3)"
                    echo "  $side says: $(head -c 300 "$work/$side.err.plain")"
                done
            fi
        done
    done
done

# A folder decoded beside itself, names with Armenian letters and spaces, a name
# already taken: the same files, the same bytes, the same report.
for side in linux windows; do
    mkdir -p "$work/$side/letters/Երևան"
    cp "$work/saved.txt" "$work/$side/letters/output.txt"
    cp "$work/saved.txt" "$work/$side/letters/new output.txt"
    cp "$work/eightbit.txt" "$work/$side/letters/Երևան/նամակ.txt"
    cp "$work/armenian.txt" "$work/$side/letters/Երևան/unicode.txt"
    printf 'taken' >"$work/$side/letters/output.utf8.txt"
    if [ "$side" = linux ]; then run="$linux"; else run="wine $windows"; fi
    (cd "$work/$side" && $run --decode --recursive letters >../$side.out 2>../$side.err && echo 0 ||
        echo $?) >"$work/$side.status"
    tr -d '\r' <"$work/$side.out" | tr '\\' / >"$work/$side.out.plain"
    (cd "$work/$side" && find letters -type f | sort | while read -r f; do
        echo "$f"; od -c "$f"; done) >"$work/$side.tree"
done
if cmp -s "$work/linux.out.plain" "$work/windows.out.plain" &&
    cmp -s "$work/linux.status" "$work/windows.status" &&
    cmp -s "$work/linux.tree" "$work/windows.tree"; then
    same=$((same + 1))
else
    differ=$((differ + 1))
    echo "differs: a folder decoded beside itself" \
        "(status $(cat "$work/linux.status") / $(cat "$work/windows.status"))"
    diff "$work/linux.out.plain" "$work/windows.out.plain" || true
    diff "$work/linux.tree" "$work/windows.tree" || true
fi
echo "vesnor-convert.exe against the Linux build: $same identical, $differ different"
[ "$differ" -eq 0 ]
