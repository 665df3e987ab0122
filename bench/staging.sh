#!/bin/sh
# Per-picture cost of page staging, each variant run in turn within a round (so a change in the
# machine's load hits all of them alike), ROUNDS rounds (default 5); median and range per row.
#   floor        the same decode in one process (FreeImage loaded once, picture in memory)
#   fork         fork and exit a child of that process, nothing else: what a fresh process costs
#   forked       the floor's decode in such a child per picture, no sandbox, no files: what one
#                process per picture costs before anything the program adds
#   shell        pagemint-decoder started from the shell per picture (the helper's own start-up)
#   program      StagePage with a helper program per picture (the program's way before the server)
#   server       StagePage with a child of the decoder fork server per picture (the program's way)
#   parallel     PageStaging, one decoder per core, over the whole batch (per picture of the batch)
# The overhead of a helper is its row minus the floor on the 64x48 PNG. The V5 BMP goes to the
# second reader (Qt) after FreeImage refuses it; the 12-megapixel HEIC to libheif after
# pagemint-decoder declines it: both are started as programs of their own.
# Usage: bench/staging.sh [build folder] [pictures]   (default: build-stage, 200)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-stage}" && pwd)
count=${2:-200}
rounds=${ROUNDS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --build "$build" -j1 --target pagemint-decoder pagemint-fallback-decoder pagemint_conversion \
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

# StagePage or PageStaging from a small Qt program: bench DECODER PICTURE COUNT program|server|parallel
cat > "$work/bench.cpp" <<'CPP'
#include "conversion/DecoderProcess.h"
#include "conversion/PageStaging.h"
#include "conversion/StagePage.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstring>
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    pagemint::setDecoderPathForTesting(QString::fromLocal8Bit(argv[1]));
    const QString picture = QString::fromLocal8Bit(argv[2]);
    const int count = std::atoi(argv[3]);
    const bool parallel = std::strcmp(argv[4], "parallel") == 0;
    pagemint::setDecoderLaunchForTesting(std::strcmp(argv[4], "program") == 0 ? pagemint::DecoderLaunch::ProgramPerPicture
                                                                             : pagemint::DecoderLaunch::Server);
    // The server starts once per program run: outside the timing, as in a program that runs.
    pagemint::StagePage(0, picture);
    QElapsedTimer clock;
    clock.start();
    if (parallel) {
        pagemint::PageStaging staging(QStringList(count, picture));
        for (int i = 0; i < count; ++i)
            if (!staging.next().staged)
                return 1;
    } else {
        for (int i = 0; i < count; ++i)
            if (!pagemint::StagePage(i, picture).staged)
                return 1;
    }
    std::printf("%.3f\n", double(clock.nsecsElapsed()) / 1e6 / count);
    return 0;
}
CPP
c++ -std=c++20 -O2 -fPIC -o "$work/bench" "$work/bench.cpp" -I"$root/src" -I"$root" \
    $(pkg-config --cflags Qt6Widgets) "$build/src/libpagemint_conversion.a" "$build/src/libpagemint_process.a" \
    "$build/src/libpagemint_common.a" "$build/contract/libpagemint_contract.a" $(pkg-config --libs Qt6Widgets)

# The floor: decode, 24 bits, JPEG, all in memory, FreeImage loaded once: floor PICTURE COUNT
# [fork|forked]: the same with a fresh child per picture that exits at once or after the decode.
cat > "$work/floor.cpp" <<'CPP'
#include <FreeImage.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>
static void decode(std::vector<BYTE> &bytes)
{
    FIMEMORY *source = FreeImage_OpenMemory(bytes.data(), static_cast<DWORD>(bytes.size()));
    FIBITMAP *image = FreeImage_LoadFromMemory(FreeImage_GetFileTypeFromMemory(source), source, 0);
    FIBITMAP *page = FreeImage_ConvertTo24Bits(image);
    FIMEMORY *target = FreeImage_OpenMemory();
    FreeImage_SaveToMemory(FIF_JPEG, page, target, 0);
    FreeImage_CloseMemory(target);
    FreeImage_Unload(page);
    FreeImage_Unload(image);
    FreeImage_CloseMemory(source);
}
int main(int argc, char **argv)
{
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<BYTE> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const int count = std::atoi(argv[2]);
    const bool forking = argc > 3, decodeInChild = argc > 3 && std::strcmp(argv[3], "forked") == 0;
    FreeImage_Initialise(FALSE);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        if (!forking) {
            decode(bytes);
            continue;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            if (decodeInChild)
                decode(bytes);
            _exit(0);
        }
        if (child < 0 || waitpid(child, nullptr, 0) != child)
            return 1;
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("%.3f\n", took.count() / count);
}
CPP
c++ -std=c++20 -O2 -o "$work/floor" "$work/floor.cpp" -lfreeimage

decoder="$build/app/data/pagemint-decoder"
fallback="$build/app/data/pagemint-fallback-decoder"
export XDG_CACHE_HOME="$work/cache"

shell_ms() { # picture count
    start=$(date +%s%N)
    i=0
    while [ "$i" -lt "$2" ]; do
        "$decoder" <"$work/$1" >"$work/out.jpg" 2>/dev/null ||
            "$fallback" <"$work/$1" >"$work/out.jpg" 2>/dev/null || true
        i=$((i + 1))
    done
    end=$(date +%s%N)
    awk -v t=$((end - start)) -v n="$2" 'BEGIN { printf "%.3f\n", t / 1e6 / n }'
}

# Each row: picture, runs per round, variants. Results collected as "row variant ms" lines.
rows="small.png:$count:floor,fork,forked,shell,program,server,parallel
large.png:$((count / 10)):floor,program,server,parallel
large-v5.bmp:$((count / 20)):shell,server
phone-12mp.heic:$((count / 100 > 0 ? count / 100 : 1)):server"
results=$work/results
: >"$results"
echo "load at start: $(cat /proc/loadavg)"
round=1
while [ "$round" -le "$rounds" ]; do
    echo "$rows" | while IFS=: read -r picture n variants; do
        for variant in $(echo "$variants" | tr , ' '); do
            case $variant in
            floor) ms=$("$work/floor" "$work/$picture" "$n") ;;
            fork | forked) ms=$(LD_BIND_NOW=1 "$work/floor" "$work/$picture" "$n" "$variant") ;;
            shell) ms=$(shell_ms "$picture" "$n") ;;
            *) ms=$("$work/bench" "$decoder" "$work/$picture" "$n" "$variant") ;;
            esac
            echo "$picture $variant $ms" >>"$results"
        done
    done
    round=$((round + 1))
done
echo "load at end:   $(cat /proc/loadavg)"
echo
echo "| picture | variant | ms per picture, median (min-max) of $rounds rounds |"
echo "|---|---|---|"
sort -k1,1 -k2,2 -k3,3n "$results" | awk '
    function flush() { if (n) printf "| %s | %s | %.2f (%.2f-%.2f) |\n", key1, key2, v[int((n + 1) / 2)], v[1], v[n] }
    { if ($1 " " $2 != key1 " " key2) { flush(); n = 0; key1 = $1; key2 = $2 } v[++n] = $3 }
    END { flush() }'
