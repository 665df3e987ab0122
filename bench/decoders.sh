#!/usr/bin/env bash
# Decoder benchmark: the helpers against the best peers Debian ships, alternating run by run, with
# the median, the range and the load average around them.
#   bench/decoders.sh [RUNS]     (default 3)
# Settings: BUILD_DIR (default build), PAGEMINT_BENCH_CACHE (pictures, made once; default
# /tmp/pagemint-bench-decoders), HEICS (20), PARTS (the parts to run; default "heic png").
#   HEIC  20 copies of a 4000x3000 HEIC (heif-enc -q 50 of a noisy PNG), pagemint-fallback-decoder
#         against heif-convert (to JPEG), two pictures at a time on the machine's cores
#   PNG   one 10000x10000 RGB PNG (100 MP), pagemint-decoder against `vips copy` to a quality-75
#         JPEG when vips is installed (libvips-tools, bench/packages.txt); time and peak memory,
#         and whether vips's page carries the same compressed picture as ours (the same settings)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build}
cache=${PAGEMINT_BENCH_CACHE:-/tmp/pagemint-bench-decoders}
runs=${1:-3}
heics=${HEICS:-20}
decoder=$build/app/data/pagemint-decoder
fallback=$build/app/data/pagemint-fallback-decoder
cmake --build "$build" -j1 --target pagemint-decoder pagemint-fallback-decoder >/dev/null
runs_part() { [[ " ${PARTS:-heic png} " == *" $1 "* ]]; }

# --- Pictures, made once: noisy rows (a photo's worth of detail), each row the last one shifted.
mkdir -p "$cache"
png_of() { # width height path
  python3 - "$@" <<'PY'
import os, struct, sys, zlib
w, h, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
base = os.urandom(w * 6)
z = zlib.compressobj(6)
rows = [z.compress(b'\x01' + base[(y * 37) % (w * 3):(y * 37) % (w * 3) + w * 3]) for y in range(h)]
rows.append(z.flush())
with open(path, 'wb') as out:
    out.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)) +
              chunk(b'IDAT', b''.join(rows)) + chunk(b'IEND', b''))
PY
}
[[ -e $cache/100mp.png ]] || png_of 10000 10000 "$cache/100mp.png"
if runs_part heic && [[ ! -e $cache/heic/$((heics - 1)).heic ]]; then
  echo "making $heics HEICs of 4000x3000 in $cache/heic (once)..." >&2
  png_of 4000 3000 "$cache/12mp.png"
  mkdir -p "$cache/heic"
  heif-enc -q 50 -o "$cache/heic/0.heic" "$cache/12mp.png" >/dev/null
  for i in $(seq 1 $((heics - 1))); do cp "$cache/heic/0.heic" "$cache/heic/$i.heic"; done
fi

now_ns() { date +%s%N; }
spread() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { printf "%.2f (%.2f-%.2f)", v[int((NR + 1) / 2)] / 1e9, v[1] / 1e9, v[NR] / 1e9 }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
out=$(mktemp -d /tmp/pagemint-bench-decoders.XXXXXX)
trap 'rm -rf "$out"' EXIT

# Two at a time, as a job's two decoders on two cores.
two_at_a_time() { # command prefix as one word: ours | peer
  local start end
  rm -f "$out"/*.jpg
  start=$(now_ns)
  if [[ $1 == ours ]]; then
    printf '%s\n' "$cache"/heic/*.heic | xargs -P2 -I{} sh -c '"$0" < "$1" > "$2/$(basename "$1").jpg"' "$fallback" {} "$out"
  else
    printf '%s\n' "$cache"/heic/*.heic | xargs -P2 -I{} sh -c 'heif-convert "$1" "$2/$(basename "$1").jpg" > /dev/null' sh {} "$out"
  fi
  end=$(now_ns)
  echo $((end - start))
}

echo "load at start: $(cat /proc/loadavg)"
if runs_part heic; then
  ours=() peer=()
  for _ in $(seq "$runs"); do
    ours+=("$(two_at_a_time ours)")
    peer+=("$(two_at_a_time peer)")
  done
  echo
  echo "| $heics HEICs of 12 MP, two at a time, $runs runs | s, median (range) | / heif-convert |"
  echo "|---|---|---|"
  awk -v o="$(median "${ours[@]}")" -v s="$(spread "${ours[@]}")" -v p="$(median "${peer[@]}")" 'BEGIN {
    printf "| pagemint-fallback-decoder | %s | %.2fx |\n", s, o / p }'
  echo "| heif-convert | $(spread "${peer[@]}") | 1.00x |"
fi

# One picture: wall time and peak memory from /usr/bin/time.
timed() { /usr/bin/time -f '%e %M' "$@" 2>&1 >/dev/null | tail -1; }
mid() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { printf "%s (%s-%s)", v[int((NR + 1) / 2)], v[1], v[NR] }'; }
megabytes() { median "$@" | awk '{ printf "%.0f", $1 / 1024 }'; }
# The entropy-coded data from the first SOS marker on: vips writes EXIF where we write JFIF.
scan_of() { python3 -c 'import sys; b = open(sys.argv[1], "rb").read(); sys.stdout.buffer.write(b[b.index(b"\xff\xda"):])' "$1"; }
if runs_part png; then
  ours=() ours_kb=() peer=() peer_kb=()
  have_vips=$(command -v vips || true)
  for _ in $(seq "$runs"); do
    read -r s kb < <(timed sh -c '"$0" < "$1" > "$2/png.jpg"' "$decoder" "$cache/100mp.png" "$out")
    ours+=("$s"); ours_kb+=("$kb")
    if [[ -n $have_vips ]]; then
      read -r s kb < <(timed vips copy "$cache/100mp.png" "$out/vips.jpg[Q=75]")
      peer+=("$s"); peer_kb+=("$kb")
    fi
  done
  echo
  echo "| one 100 MP PNG, $runs runs | s, median (range) | peak MB, median | / vips |"
  echo "|---|---|---|---|"
  if [[ -n $have_vips ]]; then
    awk -v o="$(median "${ours[@]}")" -v s="$(mid "${ours[@]}")" -v p="$(median "${peer[@]}")" -v m="$(megabytes "${ours_kb[@]}")" 'BEGIN {
      printf "| pagemint-decoder | %s | %s | %.2fx |\n", s, m, o / p }'
    echo "| vips copy (Q=75) | $(mid "${peer[@]}") | $(megabytes "${peer_kb[@]}") | 1.00x |"
    if cmp -s <(scan_of "$out/png.jpg") <(scan_of "$out/vips.jpg"); then
      echo "vips's page holds the same compressed picture as ours (quality 75, 4:2:0, baseline, standard tables)."
    else
      echo "vips's page differs from ours after the headers: it is not encoded as ours is."
    fi
  else
    echo "| pagemint-decoder | $(mid "${ours[@]}") | $(megabytes "${ours_kb[@]}") | |"
    echo "| vips | not installed (libvips-tools) | | |"
  fi
fi
echo
echo "load at end:   $(cat /proc/loadavg)"
