#!/usr/bin/env bash
# Folder scan benchmark: builds bench/scan on its own, makes a tree of 50,000 files (30,000
# pictures) in 2,000 folders, and scans it through FindImageFiles into a real QListWidget on the
# offscreen platform, against `find` on the same tree. Targets: at most 8x `find`, no pause between
# two rounds of event handling over 50 ms.
#   bench/scan.sh [RUNS]        (BUILD_DIR and TREE_PARENT may be set)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-bench-scan}
runs=${1:-5}

cmake -S "$repo/bench/scan" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null

work=$(mktemp -d "${TREE_PARENT:-${TMPDIR:-/tmp}}/pagemint-scan.XXXXXX")
trap 'rm -rf "$work"' EXIT
tree=$work/tree
"$build/bench_scan" --make-tree "$tree"

now_ns() { date +%s%N; }

# Warm the page cache so both sides read the same cached folders.
find "$tree" -type f >/dev/null
best_find_ns=
for _ in $(seq "$runs"); do
  start=$(now_ns); find "$tree" -type f >/dev/null; end=$(now_ns)
  t=$((end - start))
  if [[ -z $best_find_ns || $t -lt $best_find_ns ]]; then best_find_ns=$t; fi
done
find_ms=$(awk -v ns="$best_find_ns" 'BEGIN { printf "%.1f", ns / 1e6 }')
find_pictures=$(find "$tree" -type f \( -iname '*.jpg' -o -iname '*.jpeg' -o -iname '*.png' -o -iname '*.gif' \
  -o -iname '*.bmp' -o -iname '*.tif' -o -iname '*.tiff' \) | wc -l)
echo "find -type f: best of $runs ${find_ms} ms ($find_pictures pictures by name)"

summarise() { # $1 label, $2 output of the bench program
  awk -v label="$1" -v find_ms="$find_ms" '
    /^run/ { print "  " $0
             ms = $3 + 0; pause = $9 + 0; entries = $5 + 0
             if (best == "" || ms < best) best = ms
             if (ms > worst) worst = ms
             if (pause > longest) longest = pause }
    END { printf "%s: best %.1f ms (%.1fx find), worst %.1f ms (%.1fx), longest pause %.1f ms, %d entries\n",
                 label, best, best / find_ms, worst, worst / find_ms, longest, entries
          verdict = (worst <= 8 * find_ms && longest <= 50) ? "within" : "MISSES"
          printf "%s: %s the targets (<= 8x find = %.0f ms, pauses <= 50 ms)\n", label, verdict, 8 * find_ms }' <<<"$2"
}

echo "FindImageFiles, readdir listing (the program):"
summarise "readdir" "$("$build/bench_scan" "$tree" "$runs")"
echo "FindImageFiles, QDirIterator listing (comparison only):"
summarise "QDirIterator" "$("$build/bench_scan_qdir" "$tree" "$runs")"
