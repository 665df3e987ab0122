#!/bin/sh
# How long the program takes to end with a large job's pages staged: the window gone, the process
# gone (the lock free for the next start), and what is left for the next start to remove. The
# program runs offscreen in a private home with PAGES staged pages of MB megabytes each (default
# 300 x 6, a merged job of phone pictures), then gets SIGTERM, as at log-out, RUNS times (default 5).
# Pages are allocated with fallocate: deleting them frees their blocks as deleting written ones does.
# Usage: bench/exit.sh [BUILD_DIR]    (default build)
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build}
pages=${PAGES:-300}
mb=${MB:-6}
runs=${RUNS:-5}
program=$build/app/pagemint
work=$(mktemp -d "${TMPDIR:-/var/tmp}/pagemint-exit.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CACHE_HOME="$work/home/.cache" QT_QPA_PLATFORM=offscreen
staging=$XDG_CACHE_HOME/inkleaf_tmp
now() { date +%s%N; }

echo "pages $pages x $mb MB, $runs runs, load $(cut -d' ' -f1-3 /proc/loadavg)"
for run in $(seq "$runs"); do
  mkdir -p "$staging"
  "$program" >/dev/null 2>&1 &
  pid=$!
  # Up once the step after loading has removed the staging folder.
  while [ -d "$staging" ]; do sleep 0.01; done
  mkdir -p "$staging"
  for i in $(seq -w 0 $((pages - 1))); do fallocate -l "${mb}M" "$staging/0$i.jpg"; done
  sync
  start=$(now)
  kill -TERM "$pid"
  wait "$pid" || true
  ended=$(now)
  left=$(find "$XDG_CACHE_HOME" -name '*.jpg' | wc -l)
  echo "run $run: ended in $(((ended - start) / 1000000)) ms; pages left for the next start: $left"
  rm -rf "$XDG_CACHE_HOME"/inkleaf_tmp*
done
