#!/usr/bin/env bash
# Thumbnail benchmark: the program's main window (offscreen) with a list of 5,000 pictures, scrolled
# from top to bottom a row every 4 ms with the pointer resting over the list, so that every row it
# passes asks the decoder helpers for a thumbnail. Prints the longest pause between two rounds of
# event handling; the goal is none over 50 ms. Each run is a fresh process in its own PID namespace.
#   bench/thumbnails.sh [RUNS]   (default 3; BUILD_DIR, MAIN_BUILD (default ./build), PICTURES=5000,
#                                 PAGEMINT_BENCH_CACHE (default /tmp/pagemint-bench-thumbnails))
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-bench-thumbnails}
main_build=${MAIN_BUILD:-$repo/build}
cache=${PAGEMINT_BENCH_CACHE:-/tmp/pagemint-bench-thumbnails}
runs=${1:-3}
pictures=${PICTURES:-5000}

cmake --build "$main_build" -j1 --target pagemint_app pagemint-decoder pagemint-fallback-decoder >/dev/null
cmake -S "$repo/bench/thumbnails" -B "$build" -G Ninja -DPAGEMINT_MAIN_BUILD="$main_build" >/dev/null
cmake --build "$build" -j1 >/dev/null
bench=$build/bench_thumbnails

if [[ $(ls "$cache" 2>/dev/null | wc -l) -ne $pictures ]]; then
  rm -rf "$cache"
  "$bench" --make-pictures "$cache" "$pictures"
fi
if [[ $(id -u) == 0 ]]; then isolate=(unshare --pid --fork --mount-proc)
else isolate=(unshare --user --map-root-user --pid --fork --mount-proc); fi

echo "load at start: $(cat /proc/loadavg)"
for ((run = 1; run <= runs; run++)); do
  home=$(mktemp -d)
  HOME=$home XDG_RUNTIME_DIR=$home "${isolate[@]}" "$bench" "$main_build/app" "$cache" 2>/dev/null
  rm -rf "$home"
done
echo "load at end: $(cat /proc/loadavg)"
