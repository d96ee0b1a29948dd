#!/usr/bin/env bash
# The display part of the benchmark, run by tools/benchmark.sh inside Xvfb: maps drive V:
# of the prefix to the folder of flat folders and runs the window program on them.
# Usage: display.sh BUILD FLAT FOLDER...   (the Wine settings exported by the caller)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1 flat=$2
shift 2
. "$root/tools/wine-env.sh"
wineserver -k 2>/dev/null || true
voldix_prefix
ln -sfn "$flat" "$WINEPREFIX/dosdevices/v:"
wineserver -p
"$VOLDIX_WINE" wineboot >/dev/null 2>&1
"$VOLDIX_WINE" "$build/bin/fill_bench.exe" V "$@" | tr -d '\r'
status=${PIPESTATUS[0]}
wineserver -k 2>/dev/null || true
exit "$status"
