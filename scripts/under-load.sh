#!/usr/bin/env bash
# Runs a command with every core kept busy by a CPU hog, the way CI may find the machine:
#   scripts/under-load.sh ./test.sh
#   scripts/under-load.sh ./test.sh --sanitize
# The tests must pass like this; a test that samples instead of following events fails here first.
set -uo pipefail
hogs=()
for _ in $(seq "$(nproc)"); do
  (while :; do :; done) &
  hogs+=($!)
done
trap 'kill "${hogs[@]}" 2>/dev/null' EXIT
"$@"
