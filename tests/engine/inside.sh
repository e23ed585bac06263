#!/bin/sh
# Code outside the engine, its tests and its benchmark includes only the engine's
# surface: its inside (engine/internal) may change at any time.
set -eu
cd "$1"
found=$(grep -rnE '#include +"([a-z/]*/)?(walk|utf8|kernels|rules)\.h"' app cli composer dialogs ui \
    tests --include='*.cpp' --include='*.h' | grep -vE '^tests/(engine|portable)/' || true)
if [ -n "$found" ]; then
    echo "the engine's inside is included from outside it:"
    echo "$found"
    exit 1
fi
echo "nothing outside the engine reaches its inside"
