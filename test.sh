#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   ./test.sh              normal build in build/
#   ./test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

build=build
options=()
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  options+=(-DPAGEMINT_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  # Qt and fontconfig keep caches for the life of the process; leaks are not what this run is for.
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

cmake -S . -B "$build" -G Ninja "${options[@]}"
cmake --build "$build" -j"$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
