#!/bin/sh
# Per-picture cost of page staging: the decoder helper run directly from the shell, and
# StagePage (QProcess start, resource limits, event-pumping wait) from a small Qt program.
# The V5 BMP is refused by FreeImage and read by the second reader: its row shows what the
# fallback costs; the PNG rows show the FreeImage path alone. The 12-megapixel HEIC (a phone
# photo's size) goes to the second reader after pagemint-decoder declines it.
# Usage: bench/staging.sh [build folder] [pictures]   (default: build-staging, 200)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-staging}" && pwd)
count=${2:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --build "$build" --target pagemint-decoder pagemint-fallback-decoder pagemint_core pagemint_jpeg \
    pagemint_contract >/dev/null

# Small and camera-sized PNGs, written with the standard library only.
python3 - "$work" <<'PY'
import struct, sys, zlib
def png(path, w, h):
    def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    row = b'\0' + bytes((x * 7 + 40) & 255 for x in range(w * 3))
    data = zlib.compress(row * h, 6)
    open(path, 'wb').write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
                           + chunk(b'IDAT', data) + chunk(b'IEND', b''))
def bmp_v5(path, w, h):
    row = bytes((x * 7 + 40) & 255 for x in range(w * 3)).ljust((w * 3 + 3) // 4 * 4, b'\0')
    header = struct.pack('<IiiHHIIiiII', 124, w, h, 1, 24, 0, len(row) * h, 2835, 2835, 0, 0).ljust(124, b'\0')
    open(path, 'wb').write(b'BM' + struct.pack('<IHHI', 138 + len(row) * h, 0, 0, 138) + header + row * h)
png(sys.argv[1] + '/small.png', 64, 48)
png(sys.argv[1] + '/large.png', 1600, 1200)
bmp_v5(sys.argv[1] + '/large-v5.bmp', 1600, 1200)
png(sys.argv[1] + '/photo.png', 4000, 3000)
PY
heif-enc -q 80 "$work/photo.png" -o "$work/phone-12mp.heic" >/dev/null

cat > "$work/bench.cpp" <<'CPP'
#include "conversion/DecoderProcess.h"
#include "conversion/StagePage.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    pagemint::setDecoderPathForTesting(QString::fromLocal8Bit(argv[1]));
    const int count = std::atoi(argv[3]);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i) {
        if (!pagemint::StagePage(i, QString::fromLocal8Bit(argv[2])).staged)
            return 1;
    }
    std::printf("%.2f ms per picture\n", double(clock.nsecsElapsed()) / 1e6 / count);
    return 0;
}
CPP
c++ -std=c++20 -O2 -fPIC -o "$work/bench" "$work/bench.cpp" -I"$root/src" -I"$root/converter" \
    $(pkg-config --cflags Qt6Widgets) "$build/src/libpagemint_core.a" "$build/converter/libpagemint_jpeg.a" \
    "$build/contract/libpagemint_contract.a" "$build/src/libpagemint_common.a" $(pkg-config --libs Qt6Widgets)

decoder="$build/app/data/pagemint-decoder"
fallback="$build/app/data/pagemint-fallback-decoder"
export XDG_CACHE_HOME="$work/cache"
for picture in small.png large.png large-v5.bmp phone-12mp.heic; do
    n=$count
    [ "$picture" != small.png ] && n=$((count / 10))
    [ "$picture" = phone-12mp.heic ] && n=$((count / 40))
    start=$(date +%s%N)
    i=0
    while [ "$i" -lt "$n" ]; do
        "$decoder" <"$work/$picture" >"$work/out.jpg" 2>/dev/null ||
            "$fallback" <"$work/$picture" >"$work/out.jpg" 2>/dev/null || true
        i=$((i + 1))
    done
    end=$(date +%s%N)
    echo "$picture decoder from the shell: $(( (end - start) / n / 1000 )) us per picture ($n runs)"
    printf '%s StagePage: ' "$picture"
    "$work/bench" "$decoder" "$work/$picture" "$n"
done
