#!/usr/bin/env bash
# Conversion-job benchmark: whole jobs through the program's real engine (offscreen), in both modes,
# against the least the same work needs without the program: copying the pictures into a staging
# folder, the converter alone on them, copying the PDFs out, removing the staging folder.
#   bench/job.sh [RUNS]      (default 3; job and baseline alternate run by run; median and range)
#   ONLY=staging bench/job.sh [RUNS]   only the staging comparison below the table
#   ONLY=floor bench/job.sh [RUNS]     the merged JPEG job against cat and against cp + pdf.exe
#   ONLY=end bench/job.sh [RUNS]       converter's end to end message at END_SIZES (100 1000 5000)
#                                      small JPEGs
# Settings: BUILD_DIR (default build-bench-job), MAIN_BUILD (a main build to link; default
# BUILD_DIR/main, configured and built here when missing), PAGEMINT_BENCH_CACHE (pictures, made
# once; default /tmp/pagemint-bench-job), JPEGS (500), PNGS (100), PER_PICTURE_JPEGS (JPEGS).
#
# The cases:
#   merged, JPEG        job: 500 .jpg (listed as page references, read where they lie), one pdf.exe /NOASK run
#                       baseline: cp the 500, pdf.exe --out on them, cp the PDF out, rm
#   one per picture     job: per picture one pdf.exe /NOASK run
#                       baseline: cp the 500, one pdf.exe --out per picture, cp the PDFs out, rm
#   PNG (both modes)    the job decodes each PNG with pagemint-decoder (one process each); the
#                       baseline starts from the decoded JPEGs, so the decoding is job overhead.
#                       The decoder alone, run from the shell, is printed below the table.
#   staging comparison  the merged PNG job staged one picture at a time with a helper program per
#                       picture (the program before the decoder fork server) against one decoder
#                       per core through the fork server; the two alternate run by run, each row
#                       gives the median and range of RUNS runs, with /proc/loadavg around them.
#
# The program ends every process named pdf.exe when it loads and when a job starts, and a merged
# job lasts while any pdf.exe runs. So each job runs in its own PID namespace (unshare): it neither
# kills the converters of others on this machine nor waits for them. The other way round it does
# not help: a program outside (another Pagemint, the test suites) that ends every pdf.exe it sees
# ends the job's converters too, and the job reports those pictures as left out. Run on a quiet
# machine; the last column counts the runs where a job fell short.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-bench-job}
main_build=${MAIN_BUILD:-$build/main}
cache=${PAGEMINT_BENCH_CACHE:-/tmp/pagemint-bench-job}
runs=${1:-3}
jpegs=${JPEGS:-500}
pngs=${PNGS:-100}
per_picture_jpegs=${PER_PICTURE_JPEGS:-$jpegs}

# --- Build: the engine's libraries and helpers, then the bench program against them.
if [[ ! -e $main_build/build.ninja ]]; then
  cmake -S "$repo" -B "$main_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$main_build" -j1 --target pagemint_app pdf.exe pagemint-decoder pagemint-fallback-decoder >/dev/null
cmake -S "$repo/bench/job" -B "$build/bench" -G Ninja -DPAGEMINT_MAIN_BUILD="$main_build" >/dev/null
cmake --build "$build/bench" -j1 >/dev/null
bench=$build/bench/bench_job
app=$main_build/app
converter=$app/data/pdf.exe
decoder=$app/data/pagemint-decoder

if [[ $(id -u) == 0 ]]; then isolate=(unshare --pid --fork --mount-proc)
else isolate=(unshare --user --map-root-user --pid --fork --mount-proc); fi
"${isolate[@]}" true || { echo "job.sh: cannot make a PID namespace with unshare; a job here would end other sessions' pdf.exe" >&2; exit 1; }

# Qt wants a private runtime folder; the jobs get their own below.
runtime=$(mktemp -d /tmp/pagemint-job-runtime.XXXXXX)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen

# --- Pictures, made once: 1600x1200 JPEGs and PNGs, and the PNGs decoded as the job stages them.
last() { printf '%s/%04d.%s' "$1" $(($2 - 1)) "$3"; }
if [[ ! -e $(last "$cache/jpeg" "$jpegs" jpg) ]]; then
  echo "making $jpegs JPEGs of 1600x1200 in $cache/jpeg (once)..." >&2
  "$bench" make-pictures "$cache/jpeg" "$jpegs" 1600 1200 jpg
fi
if [[ ! -e $(last "$cache/png" "$pngs" png) ]]; then
  echo "making $pngs PNGs of 1600x1200 in $cache/png (once)..." >&2
  "$bench" make-pictures "$cache/png" "$pngs" 1600 1200 png
fi
if [[ ! -e $(last "$cache/png-decoded" "$pngs" jpg) ]]; then
  mkdir -p "$cache/png-decoded"
  for png in "$cache"/png/*.png; do
    "$decoder" <"$png" >"$cache/png-decoded/$(basename "$png" .png).jpg"
  done
fi

now_ns() { date +%s%N; }
best_ns= # set by the measuring functions: the best of $runs
end_ns= # set by time_job: its last run's time from the converter's end to the end message
samples=() # and every run's time
keep_best() { samples+=("$1"); if [[ -z $best_ns || $1 -lt $best_ns ]]; then best_ns=$1; fi; }
variant= # an extra argument of bench_job run: "one-at-a-time" or none

# The job: a fresh output folder, home and cache each run; the bench program prints job_ms, and a
# "fault" line for each way a run fell short (exit status 2). Faulty runs are timed and counted.
faults=$runtime/faults.txt
: > "$faults"
faulty_runs=0
time_job() { # label, mode, picture...
  local label=$1 mode=$2; shift 2
  local work list line status
  best_ns=
  samples=()
  faulty_runs=0
  for _ in $(seq "${job_runs:-$runs}"); do
    work=$(mktemp -d /tmp/pagemint-job.XXXXXX)
    mkdir -p "$work/home/.cache" "$work/runtime"
    chmod 700 "$work/runtime"
    list=$work/list.txt
    printf '%s\n' "$@" > "$list"
    # Qt's notes on stderr (the offscreen platform has no window masks) go to a log, shown on failure.
    status=0
    line=$(HOME=$work/home XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/runtime \
      "${isolate[@]}" "$bench" run "$app" "$work/out" "$mode" "$list" ${variant:+"$variant"} 2>"$work/stderr.log") || status=$?
    if [[ $status != 0 && $status != 2 ]] || ! grep -q '^job_ms' <<<"$line"; then
      echo "job.sh: the $label job did not run:" >&2; cat "$work/stderr.log" >&2; exit 1
    fi
    if [[ $status == 2 ]]; then
      faulty_runs=$((faulty_runs + 1))
      sed -n "s/^fault /$label: /p" <<<"$line" >> "$faults"
    fi
    rm -rf "$work"
    keep_best "$(awk '/^job_ms/ { printf "%.0f", $2 * 1e6 }' <<<"$line")"
    end_ns=$(awk '/^end_ms/ { printf "%.0f", $2 * 1e6 }' <<<"$line")
  done
}

# The least a merged document needs: the pictures' bytes one after the other in one file.
time_cat() { # picture...
  local work start end
  work=$(mktemp -d /tmp/pagemint-job.XXXXXX)
  start=$(now_ns)
  cat -- "$@" > "$work/NewPDF.pdf"
  end=$(now_ns)
  rm -rf "$work"
  best_ns=$((end - start))
}

# The baseline: the same files copied in, converted and copied out by the tools alone.
time_baseline() { # mode, page...
  local mode=$1; shift
  local work start end page
  best_ns=
  for _ in $(seq "$runs"); do
    work=$(mktemp -d /tmp/pagemint-job.XXXXXX)
    mkdir -p "$work/out"
    start=$(now_ns)
    mkdir "$work/stage"
    cp -- "$@" "$work/stage/"
    if [[ $mode == merged ]]; then
      "$converter" --out "$work/stage/tmp.pdf" "$work"/stage/*.jpg >/dev/null
      cp "$work/stage/tmp.pdf" "$work/out/NewPDF.pdf"
    else
      for page in "$work"/stage/*.jpg; do
        "$converter" --out "${page%.jpg}.pdf" "$page" >/dev/null
      done
      cp "$work"/stage/*.pdf "$work/out/"
    fi
    rm -rf "$work/stage"
    end=$(now_ns)
    rm -rf "$work"
    keep_best $((end - start))
  done
}

mapfile -t all_jpegs < <(ls "$cache"/jpeg/*.jpg | sort | head -n "$jpegs")
mapfile -t some_jpegs < <(printf '%s\n' "${all_jpegs[@]}" | head -n "$per_picture_jpegs")
mapfile -t all_pngs < <(ls "$cache"/png/*.png | sort | head -n "$pngs")
mapfile -t decoded < <(ls "$cache"/png-decoded/*.jpg | sort | head -n "$pngs")

# Median and range of the samples in seconds.
spread() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { printf "%.2f (%.2f-%.2f)", v[int((NR + 1) / 2)] / 1e9, v[1] / 1e9, v[NR] / 1e9 }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

compare_staging() {
  local before=() after=() faults_before=0 faults_after=0
  echo "load at start: $(cat /proc/loadavg)"
  for _ in $(seq "$runs"); do
    variant=one-at-a-time job_runs=1 time_job "merged, PNG, one at a time" merged "${all_pngs[@]}"
    before+=("${samples[@]}"); faults_before=$((faults_before + faulty_runs))
    variant= job_runs=1 time_job "merged, PNG, one decoder per core" merged "${all_pngs[@]}"
    after+=("${samples[@]}"); faults_after=$((faults_after + faulty_runs))
  done
  echo "load at end:   $(cat /proc/loadavg)"
  echo
  echo "| merged job of ${#all_pngs[@]} PNGs | job s, median (range) of $runs | runs with faults |"
  echo "|---|---|---|"
  echo "| one at a time, a helper program per picture | $(spread "${before[@]}") | $faults_before of $runs |"
  echo "| one decoder per core ($(nproc)), fork server | $(spread "${after[@]}") | $faults_after of $runs |"
  awk -v a="$(median "${after[@]}")" -v b="$(median "${before[@]}")" 'BEGIN { printf "\nafter / before (medians): %.2fx\n", a / b }'
}

# A case: the job and its baseline alternate run by run; medians and ranges of both, the ratio and
# the overhead per picture of the medians.
run_case() { # label, mode, job pictures (array name), baseline pages (array name)
  local -n job_pictures=$3 baseline_pages=$4
  local jobs=() bases=() faulty=0
  cat "${job_pictures[@]}" "${baseline_pages[@]}" >/dev/null # into the page cache
  for _ in $(seq "$runs"); do
    job_runs=1 time_job "$1" "$2" "${job_pictures[@]}"; jobs+=("${samples[@]}"); faulty=$((faulty + faulty_runs))
    runs=1 time_baseline "$2" "${baseline_pages[@]}"; bases+=("$best_ns")
  done
  awk -v l="$1" -v n="${#job_pictures[@]}" -v j="$(median "${jobs[@]}")" -v b="$(median "${bases[@]}")" \
      -v js="$(spread "${jobs[@]}")" -v bs="$(spread "${bases[@]}")" -v f="$faulty" -v r="$runs" 'BEGIN {
    printf "| %s | %d | %s | %s | %.2fx | %.1f | %d of %d |\n", l, n, js, bs, j / b, (j - b) / 1e6 / n, f, r }'
}

# The merged JPEG job against `cat` of its pictures and against copying them and running pdf.exe,
# the three alternating run by run.
compare_floor() {
  local jobs=() cats=() copies=() faulty=0
  cat "${all_jpegs[@]}" >/dev/null
  echo "load at start: $(cat /proc/loadavg)"
  for _ in $(seq "$runs"); do
    job_runs=1 time_job "merged, JPEG" merged "${all_jpegs[@]}"; jobs+=("${samples[@]}"); faulty=$((faulty + faulty_runs))
    time_cat "${all_jpegs[@]}"; cats+=("$best_ns")
    runs=1 time_baseline merged "${all_jpegs[@]}"; copies+=("$best_ns")
  done
  echo "load at end:   $(cat /proc/loadavg)"
  echo
  echo "| merged job of ${#all_jpegs[@]} JPEGs, $runs runs | s, median (range) | job / it |"
  echo "|---|---|---|"
  local j; j=$(median "${jobs[@]}")
  echo "| job ($faulty faulty) | $(spread "${jobs[@]}") | 1.00x |"
  awk -v j="$j" -v c="$(median "${cats[@]}")" -v s="$(spread "${cats[@]}")" 'BEGIN { printf "| cat | %s | %.2fx |\n", s, j / c }'
  awk -v j="$j" -v c="$(median "${copies[@]}")" -v s="$(spread "${copies[@]}")" 'BEGIN { printf "| cp + pdf.exe + cp + rm | %s | %.2fx |\n", s, j / c }'
}

# From the converter's end to the end message, merged jobs of small JPEGs (320x240): what the end
# holds besides the delivery, such as removing the staged pages. Sizes alternate run by run.
compare_end() {
  local sizes n list
  read -r -a sizes <<<"${END_SIZES:-100 1000 5000}"
  declare -A ends
  for n in "${sizes[@]}"; do
    if [[ ! -e $(last "$cache/small" "$n" jpg) ]]; then
      echo "making $n JPEGs of 320x240 in $cache/small (once)..." >&2
      "$bench" make-pictures "$cache/small" "$n" 320 240 jpg
    fi
  done
  echo "load at start: $(cat /proc/loadavg)"
  for _ in $(seq "$runs"); do
    for n in "${sizes[@]}"; do
      mapfile -t list < <(ls "$cache"/small/*.jpg | sort | head -n "$n")
      job_runs=1 time_job "merged, $n small JPEGs" merged "${list[@]}"
      ends[$n]+="${end_ns:-0} "
    done
  done
  echo "load at end:   $(cat /proc/loadavg)"
  echo
  echo "| pictures | converter's end to end message, ms, median (range) of $runs |"
  echo "|---|---|"
  for n in "${sizes[@]}"; do
    # shellcheck disable=SC2086
    printf '| %s | %s |\n' "$n" "$(printf '%s\n' ${ends[$n]} | sort -n | awk '{ v[NR] = $1 } END {
      printf "%.1f (%.1f-%.1f)", v[int((NR + 1) / 2)] / 1e6, v[1] / 1e6, v[NR] / 1e6 }')"
  done
}

case ${ONLY:-all} in
staging) compare_staging; exit 0 ;;
floor) compare_floor; exit 0 ;;
end) compare_end; exit 0 ;;
esac

echo "job and baseline alternate, $runs runs each; pictures 1600x1200 in $cache"
echo "load at start: $(cat /proc/loadavg)"
echo
echo "| case | pictures | job s, median (range) | baseline s, median (range) | job / baseline | overhead per picture ms | runs with faults |"
echo "|---|---|---|---|---|---|---|"
run_case "merged, JPEG" merged all_jpegs all_jpegs
run_case "one per picture, JPEG" per-picture some_jpegs some_jpegs
run_case "merged, PNG" merged all_pngs decoded
run_case "one per picture, PNG" per-picture all_pngs decoded
echo "load at end:   $(cat /proc/loadavg)"
echo
compare_staging

# What decoding alone costs, for reading the PNG rows.
best_ns=
for _ in $(seq "$runs"); do
  work=$(mktemp -d /tmp/pagemint-job.XXXXXX)
  start=$(now_ns)
  for png in "${all_pngs[@]}"; do "$decoder" <"$png" >"$work/page.jpg"; done
  end=$(now_ns)
  rm -rf "$work"
  keep_best $((end - start))
done
echo
awk -v n="${#all_pngs[@]}" -v t="$best_ns" 'BEGIN { printf "pagemint-decoder alone from the shell on the %d PNGs: %.2f s (%.1f ms a picture)\n", n, t / 1e9, t / 1e6 / n }'
if [[ -s $faults ]]; then
  echo
  echo "faults (the job's own report of pictures left out, or a delivery that fell short):"
  sed 's/^/  /' "$faults"
fi
