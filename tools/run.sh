#!/usr/bin/env bash
# The README's run command: builds Voldix and starts it under Wine. Without a display
# it runs in Xvfb, writes a screenshot of the window and prints the PNG's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(bash "$root/tools/build.sh" | tail -n 1)
if [ -n "${DISPLAY:-}" ]; then
    . "$root/tools/wine-env.sh"
    voldix_wine_env "$build/run-prefix"
    voldix_prefix
    exec "$VOLDIX_WINE" "$build/bin/Voldix.exe"
fi
exec xvfb-run -a -s "-screen 0 800x600x24" bash "$root/tools/screenshot.sh" "$build"
