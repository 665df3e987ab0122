#!/bin/sh
# Fuzzes the JPEG header reader with libFuzzer (clang only; the normal build does not need this).
#   converter/fuzz/run.sh [SECONDS]   (default 300)
# Seeds come from tests/fixtures/converter/seeds; inputs that crash or break an invariant are
# written to tests/fixtures/converter/fuzz-found, where test_converter replays them in every build.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-300}
work=${PAGEMINT_FUZZ_DIR:-$root/build-converter/fuzz}
fixtures=$root/tests/fixtures/converter
mkdir -p "$work/corpus" "$fixtures/fuzz-found"

clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I "$root" -I "$root/converter" "$here/jpeg_header_fuzzer.cpp" \
    "$root/contract/JpegFile.cpp" "$root/contract/JpegInfo.cpp" "$root/converter/PageGeometry.cpp" \
    -o "$work/jpeg_header_fuzzer"

cd "$work"
./jpeg_header_fuzzer corpus "$fixtures/seeds" "$fixtures/fuzz-found" \
    -dict="$here/jpeg.dict" -max_len=4096 -max_total_time="$seconds" \
    -artifact_prefix="$fixtures/fuzz-found/" -print_final_stats=1
