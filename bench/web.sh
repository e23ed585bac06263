#!/bin/sh
# The web edition's figures: the engine in WebAssembly under node against the same
# call built natively on the portable kernel (taking turns, five times each, so that
# a drift of the machine's speed favours neither), the site's size, and the page in
# headless Chromium (web-bench.py).
#   usage: sh bench/web.sh NATIVE_BUILD WEB_BUILD
set -eu
native_build=$1 web_build=$2
runs=$(mktemp)
trap 'rm -f "$runs"' EXIT
for round in 1 2 3 4 5; do
    "$native_build/bin/vesnor-enginespeed" | sed 's/^/native /' >>"$runs"
    node --no-experimental-fetch "$web_build/bin/vesnor-enginespeed.js" | sed 's/^/wasm /' >>"$runs"
done
echo "The page's engine call (UTF-8, a whole text) on 10 MiB, portable kernel: median ms"
printf '%-10s %10s %10s %12s   %s\n' direction native wasm "wasm speed" goal
for direction in eng-arm arm-eng; do
    median() { awk -v k="$1" -v d="$direction" '$1 == k && $2 == d { print $3 }' "$runs" | sort -g | sed -n 3p; }
    n=$(median native) w=$(median wasm)
    awk -v d="$direction" -v n="$n" -v w="$w" \
        'BEGIN { printf "%-10s %10.2f %10.2f %11.2fx   >= 0.6x native\n", d, n, w, n / w }'
done

bytes=$(find "$web_build/site" -type f -exec cat {} + | wc -c)
echo
echo "The whole site: $bytes bytes ($(ls "$web_build/site" | tr '\n' ' '))   goal <= 150000"
echo
/usr/bin/python3 "$(dirname "$0")/web-bench.py" "$web_build/site"
