#!/usr/bin/env bash
# The walk benchmark: times `du -sb` and the program's own folder total (FolderSize, timed
# inside tools/bench/ScanBench.cpp) on the same tree of 200,000 small files in 20,420
# folders, with Wine and its wineserver pinned to one CPU, and prints both times, both
# totals and their ratio; also the time of sorting 100,000 records.
# Usage: benchmark.sh [BUILD]   (default: the runnable build that tools/build.sh makes)
# The tree is made once under build/bench-tree; the Wine prefix is build/bench-prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ge 1 ]; then
    build=$(cd "$1" && pwd)
else
    build=$(bash "$root/tools/build.sh" | tail -n 1)
fi
tree=$root/build/bench-tree
bench=$build/bin/scan_bench.exe
[ -f "$bench" ] || { echo "missing $bench" >&2; exit 1; }

if [ ! -f "$tree.done" ]; then
    echo "Making the tree (once): $tree" >&2
    rm -rf "$tree"
    python3 - "$tree" <<'PY'
import os, sys
top = sys.argv[1]
n = 0
for a in range(20):
    for b in range(20):
        for c in range(50):
            folder = os.path.join(top, f"a{a:02d}", f"b{b:02d}", f"c{c:02d}")
            os.makedirs(folder)
            for f in range(10):
                n += 1
                with open(os.path.join(folder, f"f{f}.dat"), "wb") as out:
                    out.write(b"x" * ((n * 37) % 2000 + 1))
PY
    touch "$tree.done"
fi

. "$root/tools/wine-env.sh"
voldix_wine_env "$root/build/bench-prefix"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$VOLDIX_WINE" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
wintree="Z:$(printf '%s' "$tree" | tr / '\\')"

best_of_five() {
    local best= t s e
    for _ in 1 2 3 4 5; do
        s=$(date +%s.%N)
        "$@" >/dev/null
        e=$(date +%s.%N)
        t=$(awk -v s="$s" -v e="$e" 'BEGIN {print e - s}')
        best=$(awk -v t="$t" -v b="$best" 'BEGIN {print (b == "" || t < b) ? t : b}')
    done
    printf '%.3f' "$best"
}

du -sb "$tree" >/dev/null # warm the cache
du_time=$(best_of_five taskset -c 0 du -sb "$tree")
du_total=$(du -sb "$tree" | cut -f1)
files=$(find "$tree" -type f | wc -l)
folders=$(find "$tree" -mindepth 1 -type d | wc -l)
file_total=$(find "$tree" -type f -printf '%s\n' | awk '{s += $1} END {print s}')

# No wineserver of this prefix may run before: it would not be pinned.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
results=$(taskset -c 0 "$VOLDIX_WINE" "$bench" "$wintree" 5 | tr -d '\r')
wineserver -k 2>/dev/null || true

echo "Tree: $files files in $folders folders, sum of file sizes $file_total bytes"
echo "du -sb: $du_time s, $du_total bytes (du counts 4 KiB per folder)"
while read -r name seconds total rest; do
    case "$name" in
    sort100000) echo "Sort of 100,000 records: $seconds $total $rest" ;;
    *)
        ratio=$(awk -v w="$seconds" -v d="$du_time" 'BEGIN {print w / d}')
        match="matches"
        [ "$total" = "$file_total" ] || match="DIFFERS from the sum of file sizes"
        printf '%-15s %s s, %s bytes (%s), %.2f x du -sb\n' "$name:" "$seconds" "$total" \
            "$match" "$ratio"
        ;;
    esac
done <<<"$results"
