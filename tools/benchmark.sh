#!/usr/bin/env bash
# The walk benchmark: times `du -sb` and the program's own folder total (timed inside
# tools/bench/ScanBench.cpp) on the same tree of 200,000 small files in 20,420 folders,
# and prints both times, both totals and their ratio. First as users run it, not pinned:
# the walk alone (sequential) and the pool of workers (parallel), best of five rounds
# taken in turns, and the peak working set of a process that walks once either way.
# Then with Wine and its wineserver pinned to one CPU, each way of reading folders; also
# the time of sorting 100,000 records.
# Beside it the display benchmark (tools/bench/FillBench.cpp): flat folders of 2,000 and
# 20,000 files opened by a double-click in the real main window under Xvfb; it prints the
# rows shown per second, the floor of 2 ms per entry that the pauses of the scan set, the
# ratio of the time to that floor, how often the list was painted with its newest row in
# view while the rows came in, and the longest time the window did not answer.
# Last the download (tools/bench/download.sh): 256 MiB from a local server, without and
# with the signature check.
# Usage: benchmark.sh [--walk] [BUILD]   (default: the runnable build that tools/build.sh
# makes; --walk: the walk alone, without the display and the download)
# The trees are made once under build/bench-tree and build/bench-flat, the file to
# download under build/bench-download; the Wine prefix
# is build/bench-prefix. Other work on the machine slows both parts: the load average is
# printed with the figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
walk_only=
if [ "${1:-}" = --walk ]; then
    walk_only=1
    shift
fi
if [ $# -ge 1 ]; then
    build=$(cd "$1" && pwd)
else
    build=$(bash "$root/tools/build.sh" | tail -n 1)
fi
tree=$root/build/bench-tree
bench=$build/bin/scan_bench.exe
[ -f "$bench" ] || { echo "missing $bench" >&2; exit 1; }
flat=$root/build/bench-flat

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
if [ ! -f "$flat.done" ]; then
    echo "Making the flat folders (once): $flat" >&2
    rm -rf "$flat"
    python3 - "$flat" <<'PY'
import os, sys
top = sys.argv[1]
for count in (2000, 20000):
    folder = os.path.join(top, f"flat{count}")
    os.makedirs(folder)
    for i in range(count):
        with open(os.path.join(folder, f"datei{i:05d}.dat"), "wb") as out:
            out.write(b"x" * ((i * 7919) % 5000))
PY
    touch "$flat.done"
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

# A line per method of scan_bench's output: its time beside du's, its total checked.
print_walks() {
    local name seconds total rest ratio match
    while read -r name seconds total rest; do
        case "$name" in
        sort100000) echo "Sort of 100,000 records: $seconds $total $rest" ;;
        peak-working-set | workers) ;;
        *)
            ratio=$(awk -v w="$seconds" -v d="$du_time" 'BEGIN {print w / d}')
            match="matches"
            [ "$total" = "$file_total" ] || match="DIFFERS from the sum of file sizes"
            printf '%-15s %s s, %s bytes (%s), %.2f x du -sb\n' "$name:" "$seconds" "$total" \
                "$match" "$ratio"
            ;;
        esac
    done
}

echo "Tree: $files files in $folders folders, sum of file sizes $file_total bytes"
echo "du -sb: $du_time s, $du_total bytes (du counts 4 KiB per folder)"

# As users run it: not pinned, the sequential walk and the pool in turns.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
echo "Walk as users run it (not pinned); load average $(cut -d' ' -f1-3 /proc/loadavg):"
unpinned=$("$VOLDIX_WINE" "$bench" "$wintree" 5 handle-batches parallel | tr -d '\r')
echo "$(awk '$1 == "workers" {print $2}' <<<"$unpinned") workers in the pool"
sed -e 's/^handle-batches /sequential /' <<<"$unpinned" | print_walks
awk '$1 == "handle-batches" {s = $2} $1 == "parallel" {p = $2}
    END {if (s > 0) printf "parallel / sequential: %.2f\n", p / s}' <<<"$unpinned"
for method in handle-batches parallel; do
    peak=$("$VOLDIX_WINE" "$bench" "$wintree" 1 "$method" | tr -d '\r' |
        awk '$1 == "peak-working-set" {print $2}')
    label=sequential
    [ "$method" = parallel ] && label=parallel
    awk -v l="$label" -v p="$peak" 'BEGIN {printf "Peak working set, %s walk: %.1f MiB\n", l, p / 1048576}'
done

# Pinned to one CPU, each way of reading folders. No wineserver of this prefix may run
# before: it would not be pinned.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
echo "Pinned to one CPU; load average $(cut -d' ' -f1-3 /proc/loadavg):"
results=$(taskset -c 0 "$VOLDIX_WINE" "$bench" "$wintree" 5 | tr -d '\r')
wineserver -k 2>/dev/null || true
print_walks <<<"$results"
[ -z "$walk_only" ] || exit 0

# The display: unpinned, in a display of its own.
echo "Load average before the display: $(cut -d' ' -f1-3 /proc/loadavg)"
display=$(xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash "$root/tools/bench/display.sh" "$build" "$flat" flat2000 flat20000)
echo "Display of a flat folder in the real window, from the double-click to the end of the scan:"
while read -r name entries seconds walk paints gap stale paint unanswered message longest; do
    awk -v n="$entries" -v s="$seconds" -v w="$walk" -v p="$paints" -v g="$gap" -v st="$stale" \
        -v pa="$paint" -v u="$unanswered" -v m="$message" -v l="$longest" 'BEGIN {
        floor = n * 0.002
        rows = s - w
        printf "%6d entries: %.2f s (walk %.2f s, rows %.2f s), %.0f rows/s; floor %.2f s (%.0f rows/s), %.2f x floor\n",
            n, s, w, rows, n / s, floor, n / floor, s / floor
        printf "                %d paints while rows came in (%.1f per s, longest gap %.3f s, %d without the newest row), %.1f ms each, longest %.0f ms\n",
            p, (rows > 0 ? p / rows : 0), g, st, pa, l
        printf "                longest time the window did not answer: %.0f ms (longest message it handled: %.0f ms)\n", u, m
    }'
done <<<"$display"

# The download, unpinned: 256 MiB without and with the signature check.
echo "Load average before the download: $(cut -d' ' -f1-3 /proc/loadavg)"
bash "$root/tools/bench/download.sh" "$build" "$root/build/bench-download"
