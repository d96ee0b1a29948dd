#!/usr/bin/env bash
# Runs CTest of BUILD against a fresh Wine test environment; expects a display (Xvfb).
# Usage: ctest-in-wine.sh BUILD [ctest arguments]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
shift
. "$root/tools/wine-env.sh"
voldix_wine_env "$build/wineprefix"
# Times in the tests are checked in a zone with daylight saving time.
export TZ=Europe/Berlin
wineserver -k 2>/dev/null || true
voldix_prefix
voldix_test_drives "$build/fixtures"
# The tests run at 96 DPI; one that sets another for a program it starts puts it back,
# but not if it was killed meanwhile.
"$VOLDIX_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
# A wineserver started before CTest keeps Wine's helpers off CTest's output pipe.
wineserver -p
"$VOLDIX_WINE" wineboot >/dev/null 2>&1
ctest --test-dir "$build" --output-on-failure "$@"
status=$?
wineserver -k 2>/dev/null || true
exit $status
