#!/usr/bin/env bash
# The README's run command: builds Voldix and starts it under Wine, with a local update
# server (Python's static HTTP server on 127.0.0.1 over a copy of server/ whose list is
# signed with the build's own key) that "&Update suchen" asks; the server stops when
# the program ends. Without a display it runs in Xvfb,
# writes a screenshot of the window and prints the PNG's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(bash "$root/tools/build.sh" | tail -n 1)

# The demo download, signed with the key pair that the build made for itself.
site="$build/run-server"
rm -rf "$site"
cp -r "$root/server" "$site"
python3 "$root/tools/sign_update.py" sign "$build/update-key.pem" "$site/Updates/_updates.txt"

log=$(mktemp)
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$site" >"$log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -f "$log"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
port=
for _ in $(seq 1 100); do
    port=$(sed -n 's/.* port \([0-9][0-9]*\).*/\1/p' "$log" | head -n 1)
    [ -n "$port" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$port" ]; then
    cat "$log" >&2
    echo "The update server did not start." >&2
    exit 1
fi
export VOLDIX_UPDATE_URL="http://127.0.0.1:$port/"
echo "Update server: $VOLDIX_UPDATE_URL ($site)" >&2

if [ -n "${DISPLAY:-}" ]; then
    . "$root/tools/wine-env.sh"
    voldix_wine_env "$build/run-prefix"
    voldix_prefix
    "$VOLDIX_WINE" "$build/bin/Voldix.exe"
else
    xvfb-run -a -s "-screen 0 800x600x24" bash "$root/tools/screenshot.sh" "$build"
fi
