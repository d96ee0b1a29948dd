#!/usr/bin/env bash
# Starts Voldix.exe of BUILD in the current (virtual) display, waits for its window,
# saves a screenshot of the screen to BUILD/voldix.png, prints the path and ends it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
. "$root/tools/wine-env.sh"
voldix_wine_env "$build/run-prefix"
wineserver -k 2>/dev/null || true
voldix_prefix
"$VOLDIX_WINE" "$build/bin/Voldix.exe" &
program=$!
for _ in $(seq 1 100); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Voldix"' && break
    sleep 0.1
done
sleep 1.5
shot="$build/voldix.png"
import -window root "$shot"
kill "$program" 2>/dev/null || true
wineserver -k 2>/dev/null || true
echo "$shot"
