#!/usr/bin/env bash
# clang-tidy with the checks of .clang-tidy over our sources, using a build's compile_commands.json
# (a configured and built tree: Qt's generated headers must exist). Any finding fails the run.
#   scripts/tidy.sh BUILD_DIR              every source of the build
#   scripts/tidy.sh BUILD_DIR --changed    the sources changed since the merge base with
#                                          $PAGEMINT_BASE (default origin/main), or in the last
#                                          commit when there is no difference; a changed header
#                                          brings in the source of the same name
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:?usage: scripts/tidy.sh BUILD_DIR [--changed]}
ours="^$root/(contract|converter|decoder|src|tests|tools|bench)/"
jobs=$(nproc)

if [ "${2:-}" != "--changed" ]; then
  exec nice -n 10 run-clang-tidy -p "$build" -j "$jobs" -quiet "$ours"
fi

base=$(git merge-base HEAD "${PAGEMINT_BASE:-origin/main}" 2>/dev/null || git rev-parse HEAD)
[ "$base" = "$(git rev-parse HEAD)" ] && base=$(git rev-parse HEAD~1)
mapfile -t changed < <(git diff --name-only --diff-filter=d "$base" -- '*.cpp' '*.h')
files=()
for f in "${changed[@]}"; do
  [ "${f%.h}" != "$f" ] && f=${f%.h}.cpp
  # Only sources the build compiles (the database has them with their full path).
  grep -qF "\"$root/$f\"" "$build/compile_commands.json" && files+=("^$root/$f\$")
done
if [ ${#files[@]} -eq 0 ]; then
  echo "tidy: no compiled source changed since $base"
  exit 0
fi
echo "tidy: ${#files[@]} source(s) changed since $base"
exec nice -n 10 run-clang-tidy -p "$build" -j "$jobs" -quiet "${files[@]}"
