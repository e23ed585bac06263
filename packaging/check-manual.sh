#!/bin/sh
# Every option that --help lists has its entry in the manual page, and the other way round.
set -eu
help=$("$1" --help | grep -o -- '--[a-z0-9-]*' | sort -u)
manual=$(sed 's/\\-/-/g' "$2" | grep -o -- '--[a-z0-9-]*' | sort -u)
if [ "$help" != "$manual" ]; then
    echo "--help lists:"; echo "$help"; echo "the manual page lists:"; echo "$manual"
    exit 1
fi
echo "options agree: $(echo $help)"
