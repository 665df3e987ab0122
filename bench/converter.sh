#!/bin/bash
# Benchmark of pdf.exe against copying the same bytes into one file (cat) and, when installed,
# against img2pdf.
#   bench/converter.sh [BUILD_DIR]      (default: build-conv)
# Generates, once, into a cache folder ($PAGEMINT_BENCH_CACHE, default
# ~/.cache/pagemint-bench/converter):
#   large    1000 JPEGs of 1600x1200 (about 0.77 MB each), made by FreeImage, no metadata
#   small    1000 of 800x600 (about 0.2 MB), the same way
#   one      one of 64x48: the start-up cost a per-picture job pays
#   camera   1000 of 800x600 with what cameras and editors write (bench/make-jpegs.cpp): EXIF
#            with a 30 KB maker note and a thumbnail, XMP, an sRGB ICC profile, Photoshop's APP13
#   bulky    20 of 1200x750 carrying 114 APP1 segments (7.3 MB of XMP) before the picture data
#   mixed    the small set with 5 of its files swapped for bulky ones
#   debian   200 copies of a JPEG Debian ships with EXIF, XMP and an ICC profile (desktop-base's
#            Plasma preview; the .deb is fetched with apt-get download, nothing is installed)
# Then, for each set, it runs the tools in turn (cat, pdf.exe, pdf.exe with the page layout A4 /
# auto / 10 mm, img2pdf, cat, pdf.exe, ...) so a
# change in the machine's load hits them alike, and prints the median wall time, the spread
# (fastest-slowest run) and the ratio of the medians to cat.
#   PAGEMINT_BENCH_SETS="camera bulky"   only these sets (default: all, in the order above)
#   PAGEMINT_BENCH_BEFORE=/path/pdf.exe  times an earlier converter too, alternating with the others
#   PAGEMINT_BENCH_IMG2PDF=0             leaves img2pdf out
# Runs inside a private PID namespace with a private HOME: the program ends every process named
# pdf.exe it sees, and other test runs must neither end these nor be ended by them.
set -euo pipefail
if [ -z "${PAGEMINT_BENCH_INSIDE:-}" ]; then
    export PAGEMINT_BENCH_INSIDE=1 PAGEMINT_BENCH_CACHE=${PAGEMINT_BENCH_CACHE:-$HOME/.cache/pagemint-bench/converter}
    home=$(mktemp -d)
    trap 'rm -rf "$home"' EXIT
    userns=$([ "$(id -u)" = 0 ] || echo -r)
    HOME=$home unshare $userns -p -f --mount-proc bash ${PAGEMINT_BENCH_TRACE:+-x} "$0" "$@"
    exit
fi

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-conv}
cache=$PAGEMINT_BENCH_CACHE
runs=${PAGEMINT_BENCH_RUNS:-9}            # per tool, for the 1000-picture sets
startup_runs=${PAGEMINT_BENCH_STARTUP_RUNS:-41}
[ -x "$build/app/data/pdf.exe" ] || { echo "build pdf.exe first: $build/app/data/pdf.exe" >&2; exit 1; }
# A copy under another name: test runs elsewhere end every process named pdf.exe they can see, and
# a PID namespace hides nothing from its parent.
converter=$HOME/converter-under-test
cp "$build/app/data/pdf.exe" "$converter"
before=$HOME/converter-before
[ -z "${PAGEMINT_BENCH_BEFORE:-}" ] || cp "$PAGEMINT_BENCH_BEFORE" "$before"
sets=${PAGEMINT_BENCH_SETS:-large small one camera bulky mixed debian}
mkdir -p "$cache/out"

wants() { [[ " $sets " == *" $1 "* ]]; }
missing() { [ ! -e "$cache/$1" ]; }
# Camera-like pictures (gradients and waves for smooth areas, noise for detail, so the JPEGs come
# out at the size of real photographs), bare or with metadata (bench/make-jpegs.cpp: FreeImage for
# the pictures, lcms2 for the ICC profile).
if { wants large && missing large/0999.jpg; } || { { wants small || wants mixed; } && missing small/0999.jpg; } ||
    { wants one && missing one/0000.jpg; } || { wants camera && missing camera/0999.jpg; } ||
    { { wants bulky || wants mixed; } && missing bulky/0019.jpg; }; then
    g++ -O2 -o "$cache/make-jpegs" "$root/bench/make-jpegs.cpp" -lfreeimage -llcms2
    echo "generating the pictures in $cache (once)..." >&2
    mkdir -p "$cache/large" "$cache/small" "$cache/one" "$cache/camera" "$cache/bulky"
    ! wants large || "$cache/make-jpegs" plain 1000 1600 1200 "$cache/large"
    ! wants small && ! wants mixed || "$cache/make-jpegs" plain 1000 800 600 "$cache/small"
    ! wants one || "$cache/make-jpegs" plain 1 64 48 "$cache/one"
    ! wants camera || "$cache/make-jpegs" camera 1000 800 600 "$cache/camera"
    ! wants bulky && ! wants mixed || "$cache/make-jpegs" bulky 20 1200 750 "$cache/bulky"
fi
# A file Debian ships: fetched, not installed. Left out when the package cannot be had.
debian_jpeg=$cache/debian/usr/share/plasma/look-and-feel/org.debian.desktop/contents/previews/fullscreenpreview.jpg
if wants debian && missing debian-set/0199.jpg; then
    (cd "$cache" && apt-get download desktop-base > /dev/null 2>&1 && dpkg-deb -x desktop-base_*.deb "$cache/debian") ||
        echo "desktop-base could not be fetched: the debian set is left out" >&2
    if [ -e "$debian_jpeg" ]; then
        mkdir -p "$cache/debian-set"
        for n in $(seq -w 0 199); do cp "$debian_jpeg" "$cache/debian-set/0$n.jpg"; done
    fi
fi

# The layout a user picks most: A4, each page turned to suit its picture, 10 mm margins.
layout_args=(--paper=A4 --orientation=auto --margin-mm=10 --fit=fit)
have_img2pdf=$(command -v img2pdf > /dev/null && [ "${PAGEMINT_BENCH_IMG2PDF:-1}" != 0 ] && echo 1 || echo 0)

# Runs one tool on the files, writing $cache/out/TOOL.out.
run_tool() {
    local tool=$1 out=$cache/out/$1.out; shift
    case $tool in
    cat) cat "$@" > "$out" ;;
    pdf.exe) "$converter" --out "$out" "$@" > /dev/null ;;
    layout) "$converter" "${layout_args[@]}" --out "$out" "$@" > /dev/null ;;
    before) "$before" --out "$out" "$@" > /dev/null ;;
    img2pdf) img2pdf -o "$out" "$@" ;;
    esac || { echo "failed: $tool" >&2; exit 1; }
}

# Wall microseconds of one run ($EPOCHREALTIME: no process started to read the clock). Each
# output is a new file on the cache's file system; earlier outputs are written back first, so one
# run's writeback does not land in the next one's time.
time_once() {
    rm -f "$cache/out/$1.out"
    sync
    local start=$EPOCHREALTIME
    run_tool "$@"
    local end=$EPOCHREALTIME
    echo $(( ${end/./} - ${start/./} ))
}

# Peak resident kilobytes of one more run (GNU time, outside the timed runs).
peak_kb() {
    local tool=$1 out=$cache/out/$1.out; shift
    rm -f "$out"
    case $tool in
    cat) /usr/bin/time -f %M -o "$cache/peak" cat "$@" > "$out" ;;
    pdf.exe) /usr/bin/time -f %M -o "$cache/peak" "$converter" --out "$out" "$@" > /dev/null ;;
    layout) /usr/bin/time -f %M -o "$cache/peak" "$converter" "${layout_args[@]}" --out "$out" "$@" > /dev/null ;;
    before) /usr/bin/time -f %M -o "$cache/peak" "$before" --out "$out" "$@" > /dev/null ;;
    img2pdf) /usr/bin/time -f %M -o "$cache/peak" img2pdf -o "$out" "$@" ;;
    esac
    tail -1 "$cache/peak"
}

# "median min max" in milliseconds of a list of microsecond figures.
summary() { sort -n | awk '{ t[NR] = $1 } END { printf "%.1f %.1f %.1f\n", t[int((NR + 1) / 2)] / 1000, t[1] / 1000, t[NR] / 1000 }'; }

tool_name() {
    case $1 in
    before) echo "pdf.exe before" ;;
    layout) echo "pdf.exe A4 / auto / 10 mm" ;;
    *) echo "$1" ;;
    esac
}

printf 'load average at start: %s\n\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '| set | bytes in | tool | median ms | spread ms | / cat | peak MB |\n'
printf '|---|---|---|---|---|---|---|\n'
run_set() {
    local label=$1 count=$2; shift 2
    local files=("$@") tools=(cat pdf.exe layout)
    [ -z "${PAGEMINT_BENCH_BEFORE:-}" ] || tools+=(before)
    [ "$have_img2pdf" = 1 ] && tools+=(img2pdf)
    cat "${files[@]}" > /dev/null # into the page cache
    local bytes
    bytes=$(stat -L -c %s "${files[@]}" | awk '{ s += $1 } END { printf (s < 1048576 ? "%.0f KB" : "%.0f MB"), s / (s < 1048576 ? 1024 : 1048576) }')
    declare -A times=()
    for _ in $(seq "$count"); do
        for tool in "${tools[@]}"; do times[$tool]+="$(time_once "$tool" "${files[@]}") "; done
    done
    local cat_median
    cat_median=$(tr ' ' '\n' <<< "${times[cat]}" | grep . | summary | cut -d' ' -f1)
    for tool in "${tools[@]}"; do
        read -r median low high < <(tr ' ' '\n' <<< "${times[$tool]}" | grep . | summary)
        local peak
        peak=$(peak_kb "$tool" "${files[@]}")
        awk -v l="$label" -v b="$bytes" -v t="$(tool_name "$tool")" -v m="$median" -v lo="$low" -v hi="$high" -v c="$cat_median" -v kb="$peak" \
            'BEGIN { printf "| %s | %s | %s | %.1f | %.1f-%.1f | %.2fx | %.0f |\n", l, b, t, m, lo, hi, m / c, kb / 1024 }'
    done
    rm -f "$cache"/out/*
}

mapfile -t large < <(ls "$cache"/large/*.jpg 2> /dev/null | sort)
mapfile -t small < <(ls "$cache"/small/*.jpg 2> /dev/null | sort)
mapfile -t camera < <(ls "$cache"/camera/*.jpg 2> /dev/null | sort)
mapfile -t bulky < <(ls "$cache"/bulky/*.jpg 2> /dev/null | sort)
mixed=()
if wants mixed; then
    mixed=("${small[@]}")
    for n in 0 1 2 3 4; do mixed[$((n * 200 + 100))]=${bulky[$n]}; done
fi
for set in $sets; do
    case $set in
    large) run_set "1000 x 0.77 MB" "$runs" "${large[@]}" ;;
    small) run_set "1000 x 0.2 MB" "$runs" "${small[@]}" ;;
    one) run_set "1 picture (start-up)" "$startup_runs" "$cache/one/0000.jpg" ;;
    camera) run_set "1000 x 0.24 MB, camera metadata" "$runs" "${camera[@]}" ;;
    bulky) run_set "20 x 7.8 MB, 114 APP1 segments" "$runs" "${bulky[@]}" ;;
    mixed) run_set "1000 x 0.2 MB, 5 of them bulky" "$runs" "${mixed[@]}" ;;
    debian)
        if [ -e "$cache/debian-set/0199.jpg" ]; then
            run_set "200 x 0.23 MB, Debian's (EXIF, XMP, ICC)" "$runs" "$cache"/debian-set/*.jpg
        fi ;;
    *) echo "no set named $set" >&2; exit 2 ;;
    esac
done
printf '\nload average at end: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
