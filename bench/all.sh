#!/usr/bin/env bash
# Every performance figure of docs/performance.md in one run, each against its floor:
#   converter   pdf.exe vs cat on 1000 JPEGs of 0.77 MB and of 0.2 MB, one picture (start-up), and
#               sets with metadata (camera EXIF, XMP, ICC, APP13; 7.3 MB of APP1 segments; Debian's)
#   staging     the decoder's cost per picture vs the same decode in one process
#   process     what a fresh process and each page it touches cost, apart from any work
#   job         merged and per-picture jobs vs copying and converting with the tools alone, the
#               merged PNG job one picture at a time vs one decoder per core, the merged JPEG job
#               vs cat, and the time from the converter's end to the end message
#   decoders    20 HEICs vs heif-convert, a 100 MP PNG vs vips (time and peak memory)
#   scan        the folder scan vs find, and its longest pause
#   thumbnails  a 5,000-entry list scrolled with the pointer over it, and its longest pause
#   ocr         searchable PDFs: recognised text scored against known text, Pagemint's job against
#               ocrmypdf and the engine alone, Debian's Chinese model against the 4.0.0 one
# Each script alternates its commands run by run and prints medians, spreads and the load at its
# start and end. Run it on a quiet machine; the whole run takes about an hour.
#   bench/all.sh [BUILD_DIR]    (default build-bench: a release build made here when missing)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build-bench}
if [[ ! -e $build/build.ninja ]]; then
  cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target pdf.exe pagemint-decoder pagemint-fallback-decoder pagemint_app >/dev/null

section() { echo; echo "## $1 ($(date +%T), load $(cut -d' ' -f1-3 /proc/loadavg))"; echo; }
section converter
"$repo/bench/converter.sh" "$build"
section staging
"$repo/bench/staging.sh" "$build"
section process
"$repo/bench/process-cost.sh"
section job
MAIN_BUILD=$build "$repo/bench/job.sh"
MAIN_BUILD=$build ONLY=floor "$repo/bench/job.sh"
MAIN_BUILD=$build ONLY=end "$repo/bench/job.sh"
section decoders
BUILD_DIR=$build "$repo/bench/decoders.sh"
section scan
BUILD_DIR=$build/scan "$repo/bench/scan.sh"
section thumbnails
MAIN_BUILD=$build "$repo/bench/thumbnails.sh"
section ocr
MAIN_BUILD=$build BUILD_DIR=$build/ocr "$repo/bench/ocr.sh"
