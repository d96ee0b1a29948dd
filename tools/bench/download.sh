#!/usr/bin/env bash
# The download part of the benchmark, run by tools/benchmark.sh: a file of 256 MiB (the
# most the program accepts) from Python's HTTP server on 127.0.0.1, downloaded by the
# program's own download without and with the signature check; prints the best seconds
# of each and the cost of the check.
# Usage: download.sh BUILD FOLDER   (the Wine settings exported by the caller)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1 folder=$2
mkdir -p "$folder/out"
if [ ! -f "$folder/bench.bin" ]; then
    head -c $((256 * 1024 * 1024)) /dev/urandom >"$folder/bench.bin.part"
    mv "$folder/bench.bin.part" "$folder/bench.bin"
fi
signature=$(python3 - "$root/tools" "$build/update-key.pem" "$folder/bench.bin" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
import sign_update
with open(sys.argv[3], "rb") as data:
    print(sign_update.signature(sys.argv[2], "voldix", [1, 0, 0, 22], "bench.bin", data.read()))
PY
)
log=$(mktemp)
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$folder" >"$log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -f "$log"' EXIT
port=
for _ in $(seq 1 100); do
    port=$(sed -n 's/.* port \([0-9][0-9]*\).*/\1/p' "$log" | head -n 1)
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "the download server did not start" >&2; exit 1; }
target="Z:$(printf '%s' "$folder/out/bench.bin" | tr / '\\')"
wineserver -k 2>/dev/null || true
results=$(http_proxy= "$VOLDIX_WINE" "$build/bin/download_bench.exe" \
    "http://127.0.0.1:$port/bench.bin" "$target" "$signature" 3 | tr -d '\r')
wineserver -k 2>/dev/null || true
rm -f "$folder/out/bench.bin"
awk '{t[$1] = $2; ok[$1] = $3}
    END {
        printf "Download of 256 MiB from 127.0.0.1: unsigned %.2f s (%.0f MiB/s)%s, signed %.2f s (%.0f MiB/s)%s, the check costs %.2f s (%.0f %%)\n",
            t["unsigned"], 256 / t["unsigned"], ok["unsigned"] ? "" : " FAILED",
            t["signed"], 256 / t["signed"], ok["signed"] ? "" : " FAILED",
            t["signed"] - t["unsigned"], 100 * (t["signed"] - t["unsigned"]) / t["unsigned"]
    }' <<<"$results"
