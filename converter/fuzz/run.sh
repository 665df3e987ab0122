#!/bin/sh
# Fuzzes the converter's readers with libFuzzer (clang only; the normal build does not need this).
#   converter/fuzz/run.sh [SECONDS] [TARGET]   (default 300 seconds of the jpeg target)
# TARGET jpeg: the JPEG header reader. Seeds come from tests/fixtures/converter/seeds; inputs that
#   crash or break an invariant are written to tests/fixtures/converter/fuzz-found.
# TARGET page-text: the page-text reader and the text layer. Seeds from
#   tests/fixtures/converter/page-text-seeds, finds to tests/fixtures/converter/page-text-found.
# test_converter replays the finds in every build.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-300}
target=${2:-jpeg}
work=${PAGEMINT_FUZZ_DIR:-$root/build-converter/fuzz}
fixtures=$root/tests/fixtures/converter

build() {
    out=$1
    shift
    clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -I "$root" -I "$root/converter" "$@" -o "$work/$out"
}

mkdir -p "$work"
case "$target" in
jpeg)
    fuzzer=jpeg_header_fuzzer corpus=corpus seeds=$fixtures/seeds found=$fixtures/fuzz-found
    dict=$here/jpeg.dict max_len=4096
    build "$fuzzer" "$here/jpeg_header_fuzzer.cpp" "$root/contract/JpegFile.cpp" "$root/contract/JpegInfo.cpp" \
        "$root/converter/PageGeometry.cpp"
    ;;
page-text)
    fuzzer=page_text_fuzzer corpus=page-text-corpus seeds=$fixtures/page-text-seeds
    found=$fixtures/page-text-found dict=$here/page-text.dict max_len=8192
    build "$fuzzer" "$here/page_text_fuzzer.cpp" "$root/contract/PageText.cpp" "$root/contract/ConverterContract.cpp" \
        "$root/converter/TextLayer.cpp" "$root/converter/TextJoining.cpp" "$root/converter/GlyphlessFont.cpp" \
        "$root/converter/PdfSyntax.cpp"
    ;;
*)
    echo "run.sh: unknown target $target (jpeg, page-text)" >&2
    exit 2
    ;;
esac
mkdir -p "$work/$corpus" "$found"

cd "$work"
"./$fuzzer" "$corpus" "$seeds" "$found" \
    -dict="$dict" -max_len="$max_len" -max_total_time="$seconds" \
    -artifact_prefix="$found/" -print_final_stats=1
