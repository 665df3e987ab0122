#!/bin/bash
# Benchmark of the command line's merged run of 1000 JPEGs against what it is made of:
#   cli          pagemint -q -o out.pdf FOLDER  (scan, staging: each JPEG listed as a page reference,
#                pdf.exe, delivery into the output folder, clean-up)
#   staged       the same steps without the program: copy each picture into a staging folder as
#                00000.jpg … (one process), pdf.exe /NOASK there, copy tmp.pdf to the output,
#                remove the staging folder
#   pdf.exe      the converter alone on the pictures where they lie (--out)
#   img2pdf      when installed (PAGEMINT_BENCH_IMG2PDF=0 leaves it out)
# run in turn (cli, staged, pdf.exe, img2pdf, cli, ...) so a change in the machine's load hits them
# alike; prints the median wall time, the spread, and the command line's median over the staged
# one's, which should stay at most 1.10.
#   bench/cli.sh [BUILD_DIR]      (default: build)
# Pictures: the 1000 JPEGs of 1600x1200 (about 0.77 MB each) of bench/converter.sh, made once into
# $PAGEMINT_BENCH_CACHE (default ~/.cache/pagemint-bench/converter)/large.
# Runs inside a private PID namespace with a private HOME, like the other benchmarks.
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
build=${1:-$root/build}
cache=$PAGEMINT_BENCH_CACHE
runs=${PAGEMINT_BENCH_RUNS:-7}
program=$build/app/pagemint
converter=$build/app/data/pdf.exe
[ -x "$program" ] && [ -x "$converter" ] || { echo "build pagemint and pdf.exe first in $build" >&2; exit 1; }
if [ ! -e "$cache/large/0999.jpg" ]; then
    mkdir -p "$cache/large"
    g++ -O2 -o "$cache/make-jpegs" "$root/bench/make-jpegs.cpp" -lfreeimage -llcms2
    echo "generating the pictures in $cache/large (once)..." >&2
    "$cache/make-jpegs" plain 1000 1600 1200 "$cache/large"
fi
mapfile -t pictures < <(ls "$cache"/large/*.jpg | sort)
out=$HOME/out
staging=$HOME/staging
mkdir -p "$out"
have_img2pdf=$(command -v img2pdf > /dev/null && [ "${PAGEMINT_BENCH_IMG2PDF:-1}" != 0 ] && echo 1 || echo 0)

run_tool() {
    case $1 in
    cli) "$program" -q --overwrite -o "$out/cli.pdf" "$cache/large" > /dev/null ;;
    staged)
        mkdir -p "$staging"
        # One process copying in the kernel (sendfile), as the program stages a JPEG: a cp per
        # picture would time process starts instead.
        python3 -c 'import shutil, sys
for n, picture in enumerate(sys.argv[2:]):
    shutil.copyfile(picture, "%s/%05d.jpg" % (sys.argv[1], n))' "$staging" "${pictures[@]}"
        PAGEMINT_STAGING_FOLDER=$staging "$converter" /NOASK > /dev/null
        cp "$staging/tmp.pdf" "$out/staged.pdf"
        rm -rf "$staging" ;;
    pdf.exe) "$converter" --out "$out/pdf.exe.pdf" "${pictures[@]}" > /dev/null ;;
    img2pdf) img2pdf -o "$out/img2pdf.pdf" "${pictures[@]}" ;;
    esac || { echo "failed: $1" >&2; exit 1; }
}

# Wall microseconds of one run; the outputs of the run before are written back first.
time_once() {
    rm -f "$out"/*.pdf
    sync
    local start=$EPOCHREALTIME
    run_tool "$1"
    local end=$EPOCHREALTIME
    echo $(( ${end/./} - ${start/./} ))
}

summary() { sort -n | awk '{ t[NR] = $1 } END { printf "%.1f %.1f %.1f\n", t[int((NR + 1) / 2)] / 1000, t[1] / 1000, t[NR] / 1000 }'; }

tools=(cli staged pdf.exe)
[ "$have_img2pdf" = 1 ] && tools+=(img2pdf)
cat "${pictures[@]}" > /dev/null # into the page cache
run_tool cli                     # once before timing: the program's libraries into the page cache
declare -A times=()
for _ in $(seq "$runs"); do
    for tool in "${tools[@]}"; do times[$tool]+="$(time_once "$tool") "; done
done

printf 'load average at end: %s\n\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '| tool | median ms | spread ms | / staged |\n|---|---|---|---|\n'
staged_median=$(tr ' ' '\n' <<< "${times[staged]}" | grep . | summary | cut -d' ' -f1)
for tool in "${tools[@]}"; do
    read -r median low high < <(tr ' ' '\n' <<< "${times[$tool]}" | grep . | summary)
    awk -v t="$tool" -v m="$median" -v lo="$low" -v hi="$high" -v s="$staged_median" \
        'BEGIN { printf "| %s | %.1f | %.1f-%.1f | %.2fx |\n", t, m, lo, hi, m / s }'
done
cli_median=$(tr ' ' '\n' <<< "${times[cli]}" | grep . | summary | cut -d' ' -f1)
awk -v c="$cli_median" -v s="$staged_median" 'BEGIN {
    r = c / s
    printf "\ncommand line / (converter + staging): %.2f (goal: at most 1.10) %s\n", r, (r <= 1.10 ? "met" : "NOT MET")
    exit (r <= 1.10 ? 0 : 1)
}'
