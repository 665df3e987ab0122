#!/usr/bin/env bash
# Searchable-PDF benchmark: how well and how fast text is recognised on pages of known Chinese and
# English text, by Pagemint's job, by ocrmypdf, and by the engine's command line alone.
#   bench/ocr.sh [RUNS]      (default 3; the tools of a section alternate run by run; median and range)
#   ONLY=pdf|engine bench/ocr.sh [RUNS]    one section only
# Settings: BUILD_DIR (default build-bench-ocr), MAIN_BUILD (a main build to link and run; default
# BUILD_DIR/main, configured and built here when missing), PAGEMINT_BENCH_CACHE (pages, made once;
# default /tmp/pagemint-bench-ocr), NPM_CHI_SIM (the npm package @tesseract.js-data/chi_sim 1.0.0 as
# `npm pack` fetches it; default /tmp/npmchi/tesseract.js-data-chi_sim-1.0.0.tgz, fetched with npm
# pack when missing and npm is there).
#
# The pages (bench/make-text-pages.cpp, Qt, "Noto Sans CJK SC"): 20 A4 pages at 300 dpi, four texts
# in turn (Chinese, Chinese, English, both), each page's text beside it as the truth.
#   clean    as rendered, JPEG quality 90
#   photos   turned 2 degrees, slightly blurred, JPEG quality 70; page 05 upside down
# Scores (bench/ocr-score.py): the character error rate of the text against the truth, whitespace
# left out of both, and the count of white-space gaps between two Han characters ("负 荷").
#
# Section pdf, per set: the whole job from the JPEGs to a searchable PDF, two cores.
#   ocrmypdf   img2pdf of the JPEGs, then ocrmypdf -l chi_sim+eng --rotate-pages (Debian's ocrmypdf
#              and models; its default output, PDF/A; all cores)
#   Pagemint   the merged job of the real engine (bench/job's bench_job, text=chi_sim+eng,upright:
#              one recogniser per core), and the job without upright held to one core (taskset)
#              against the engine's command line alone on one core with the same model files
#              (the 4.0.0 chi_sim beside Debian's eng, made by the engine section), for the cost
#              per page. Needs the recogniser (APP/data/pagemint-recognizer); without it the rows
#              say so and the rest runs.
# Section engine: the engine's command line alone, page after page on one core
# (OMP_THREAD_LIMIT=1, taskset), tesseract -l chi_sim+eng --oem 1, with Debian's chi_sim and with
# the 4.0.0 chi_sim of the npm package (beside Debian's eng and osd in a folder of its own); and
# the orientation alone (--psm 0, what the upright choice adds), with the pages it would turn. The
# command line does not turn pages (--psm 1 does, but turned upright Chinese pages upside down
# here), so the photos' upside-down page is left out of its scores. The row of the model the job
# uses is the engine alone that the job's cost per page is held against.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-bench-ocr}
main_build=${MAIN_BUILD:-$build/main}
cache=${PAGEMINT_BENCH_CACHE:-/tmp/pagemint-bench-ocr}
npm_chi_sim=${NPM_CHI_SIM:-/tmp/npmchi/tesseract.js-data-chi_sim-1.0.0.tgz}
runs=${1:-3}
only=${ONLY:-all}
score=$repo/bench/ocr-score.py
debian_models=/usr/share/tesseract-ocr/5/tessdata

"$repo/scripts/install-deps.sh" "$repo/bench/packages.txt"

# --- The pages, made once.
mkdir -p "$cache"
if [[ ! -e $cache/pages/photos/20.txt ]]; then
  echo "making the pages in $cache/pages (once)..." >&2
  read -ra qt <<<"$(pkg-config --cflags --libs Qt6Gui)"
  g++ -O2 -fPIC -std=c++20 -o "$cache/make-text-pages" "$repo/bench/make-text-pages.cpp" "${qt[@]}"
  QT_QPA_PLATFORM=offscreen "$cache/make-text-pages" "$cache/pages" 20
fi
sets=(clean photos)
upside_down=05 # the photo make-text-pages turns upside down
pages() { printf '%s\n' "$cache/pages/$1"/*.jpg; }

# Median and range of the samples (nanoseconds) in seconds, and a median alone.
spread() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { printf "%.2f (%.2f-%.2f)", v[int((NR + 1) / 2)] / 1e9, v[1] / 1e9, v[NR] / 1e9 }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
now_ns() { local t=$EPOCHREALTIME; echo "${t/./}000"; }
field() { awk -v k="$1" '{ for (i = 1; i < NF; ++i) if ($i == k) print $(i + 1) }' <<<"$2"; }
percent() { awk -v c="$1" 'BEGIN { printf "%.2f%%", c * 100 }'; }

# --- Section engine: tesseract alone, one core, page after page.
engine_section() {
  local models_4=$cache/tessdata-4.0.0
  if [[ ! -e $models_4/chi_sim.traineddata ]]; then
    if [[ ! -e $npm_chi_sim ]] && command -v npm >/dev/null; then
      mkdir -p "$(dirname "$npm_chi_sim")"
      (cd "$(dirname "$npm_chi_sim")" && npm pack --silent @tesseract.js-data/chi_sim@1.0.0 >/dev/null)
    fi
    if [[ -e $npm_chi_sim ]]; then
      mkdir -p "$models_4"
      tar -xzOf "$npm_chi_sim" package/4.0.0/chi_sim.traineddata.gz | gunzip >"$models_4/chi_sim.traineddata.part"
      mv "$models_4/chi_sim.traineddata.part" "$models_4/chi_sim.traineddata"
      cp "$debian_models/eng.traineddata" "$debian_models/osd.traineddata" "$models_4/"
    fi
  fi
  local models=(debian) labels=([0]="Debian's chi_sim (tesseract-ocr-chi-sim)")
  if [[ -e $models_4/chi_sim.traineddata ]]; then
    models+=(4.0.0)
    labels+=("4.0.0 chi_sim (npm @tesseract.js-data/chi_sim 1.0.0, $(du -m "$models_4/chi_sim.traineddata" | cut -f1) MB)")
  else
    echo "no 4.0.0 chi_sim ($npm_chi_sim missing, no npm): the model comparison has Debian's alone" >&2
  fi
  declare -A times=()
  local set model folder out start end page what
  echo "load at start: $(cat /proc/loadavg)"
  for _ in $(seq "$runs"); do
    for set in "${sets[@]}"; do
      for model in "${models[@]}" osd; do
        folder=$debian_models
        [[ $model != 4.0.0 ]] || folder=$models_4
        what=(-l chi_sim+eng --oem 1)
        [[ $model != osd ]] || what=(--psm 0)
        out=$cache/out/engine-$model-$set
        rm -rf "$out"
        mkdir -p "$out"
        start=$(now_ns)
        while read -r page; do
          OMP_THREAD_LIMIT=1 taskset -c 0 tesseract "$page" "$out/$(basename "$page" .jpg)" --tessdata-dir "$folder" \
            "${what[@]}" 2>/dev/null
        done < <(pages "$set")
        end=$(now_ns)
        times[$model-$set]+="$((end - start)) "
      done
    done
  done
  echo "load at end:   $(cat /proc/loadavg)"
  echo
  echo "(the photos' scores leave out page $upside_down, upside down: the command line does not turn it)"
  echo
  echo "| set | chi_sim | CER | Han gaps | s per page, median (range) of $runs |"
  echo "|---|---|---|---|---|"
  local i line n t per_page except
  for set in "${sets[@]}"; do
    n=$(pages "$set" | wc -l)
    except=
    [[ $set != photos ]] || except=--except=$upside_down
    for i in "${!models[@]}"; do
      model=${models[$i]}
      line=$(python3 "$score" ${except:+"$except"} text "$cache/out/engine-$model-$set" "$cache/pages/$set")
      per_page=()
      for t in ${times[$model-$set]}; do per_page+=($((t / n))); done
      echo "| $set | ${labels[$i]} | $(percent "$(field cer "$line")") ($(field errors "$line") of $(field chars "$line")) | $(field han_spaces "$line") | $(spread "${per_page[@]}") |"
    done
    per_page=()
    for t in ${times[osd-$set]}; do per_page+=($((t / n))); done
    echo "| $set | orientation alone (--psm 0): turns $(grep -l '^Rotate: [1-9]' "$cache/out/engine-osd-$set"/*.osd | xargs -r -n1 basename | sed 's/\.osd$//' | paste -sd, | sed 's/^$/none/') | | | $(spread "${per_page[@]}") |"
  done
}

# --- Section pdf: ocrmypdf against Pagemint's job, per set.
have_pagemint=0
prepare_pagemint() {
  if [[ ! -e $main_build/build.ninja ]]; then
    cmake -S "$repo" -B "$main_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  local targets=(pagemint_app pdf.exe pagemint-decoder pagemint-fallback-decoder)
  if ninja -C "$main_build" -t targets all | grep -q '^pagemint-recognizer:'; then targets+=(pagemint-recognizer); fi
  cmake --build "$main_build" -j"$(nproc)" --target "${targets[@]}" >/dev/null
  cmake -S "$repo/bench/job" -B "$build/bench" -G Ninja -DPAGEMINT_MAIN_BUILD="$main_build" >/dev/null
  cmake --build "$build/bench" -j"$(nproc)" >/dev/null
  [[ -x $main_build/app/data/pagemint-recognizer ]] && have_pagemint=1
  if [[ $(id -u) == 0 ]]; then isolate=(unshare --pid --fork --mount-proc)
  else isolate=(unshare --user --map-root-user --pid --fork --mount-proc); fi
  "${isolate[@]}" true || { echo "ocr.sh: cannot make a PID namespace with unshare; a job here would end other sessions' pdf.exe" >&2; exit 1; }
}

# One Pagemint job (in its own PID namespace, own home: see bench/job.sh) writing $2/NewPDF.pdf;
# prints the job's nanoseconds. $1: the set; $3: the text choice; $4...: a command to run it under
# (taskset).
pagemint_job() {
  local set=$1 out=$2 text=$3; shift 3
  local work line status=0
  work=$(mktemp -d /tmp/pagemint-ocr-job.XXXXXX)
  mkdir -p "$work/home/.cache" "$work/runtime" "$out"
  chmod 700 "$work/runtime"
  pages "$set" >"$work/list.txt"
  rm -f "$out"/*.pdf
  line=$(HOME=$work/home XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen \
    "$@" "${isolate[@]}" "$build/bench/bench_job" run "$main_build/app" "$out" merged "$work/list.txt" \
    "text=$text" 2>"$work/stderr.log") || status=$?
  if [[ $status != 0 && $status != 2 ]] || ! grep -q '^job_ms' <<<"$line"; then
    echo "ocr.sh: the Pagemint job on $set did not run:" >&2; cat "$work/stderr.log" >&2; exit 1
  fi
  sed -n "s/^fault /Pagemint, $set: /p" <<<"$line" >>"$cache/out/faults.txt"
  rm -rf "$work"
  awk '/^job_ms/ { printf "%.0f\n", $2 * 1e6 }' <<<"$line"
}

# Which Chinese model the job's recogniser takes: the one shipped beside the program comes first.
pagemint_model() {
  local shipped=$main_build/app/data/tessdata/chi_sim.traineddata
  if [[ -e $shipped ]]; then echo "chi_sim of app/data/tessdata, $(du -mL "$shipped" | cut -f1) MB"
  else echo "Debian's chi_sim"; fi
}

# The engine's command line alone on the set's pages, one core, with the model files the job reads
# (the shipped chi_sim beside Debian's eng, or Debian's alone); prints the nanoseconds.
engine_job() {
  local set=$1 out=$2 folder=$debian_models start end page
  [[ ! -e $main_build/app/data/tessdata/chi_sim.traineddata ]] || folder=$cache/tessdata-4.0.0
  rm -rf "$out"
  mkdir -p "$out"
  start=$(now_ns)
  while read -r page; do
    OMP_THREAD_LIMIT=1 taskset -c 0 tesseract "$page" "$out/$(basename "$page" .jpg)" --tessdata-dir "$folder" \
      -l chi_sim+eng --oem 1 2>/dev/null
  done < <(pages "$set")
  end=$(now_ns)
  echo $((end - start))
}

ocrmypdf_job() {
  local set=$1 out=$2 start end
  mkdir -p "$out"
  rm -f "$out"/*.pdf
  mapfile -t jpegs < <(pages "$set")
  start=$(now_ns)
  img2pdf -o "$out/pictures.pdf" "${jpegs[@]}"
  ocrmypdf -q -l chi_sim+eng --rotate-pages "$out/pictures.pdf" "$out/ocrmypdf.pdf" 2>>"$cache/out/ocrmypdf.log"
  end=$(now_ns)
  echo $((end - start))
}

pdf_row() { # set, tool, PDF, samples...
  local set=$1 tool=$2 pdf=$3 line; shift 3
  line=$(python3 "$score" pdf "$pdf" "$cache/pages/$set")
  echo "| $set | $tool | $(percent "$(field cer "$line")") ($(field errors "$line") of $(field chars "$line")) | $(field han_spaces "$line") | $(spread "$@") |"
}

pdf_section() {
  prepare_pagemint
  : >"$cache/out/faults.txt"
  declare -A times=()
  local set
  echo "load at start: $(cat /proc/loadavg)"
  for _ in $(seq "$runs"); do
    for set in "${sets[@]}"; do
      times[ocrmypdf-$set]+="$(ocrmypdf_job "$set" "$cache/out/ocrmypdf-$set") "
      if [[ $have_pagemint == 1 ]]; then
        times[pagemint-$set]+="$(pagemint_job "$set" "$cache/out/pagemint-$set" chi_sim+eng,upright) "
        times[pagemint1-$set]+="$(pagemint_job "$set" "$cache/out/pagemint1-$set" chi_sim+eng taskset -c 0) "
        times[engine1-$set]+="$(engine_job "$set" "$cache/out/engine1-$set") "
      fi
    done
  done
  echo "load at end:   $(cat /proc/loadavg)"
  echo
  echo "| set | tool | CER | Han gaps | s for the set, median (range) of $runs |"
  echo "|---|---|---|---|---|"
  local ratios=()
  for set in "${sets[@]}"; do
    # shellcheck disable=SC2086
    pdf_row "$set" "ocrmypdf -l chi_sim+eng --rotate-pages" "$cache/out/ocrmypdf-$set/ocrmypdf.pdf" ${times[ocrmypdf-$set]}
    if [[ $have_pagemint == 1 ]]; then
      # shellcheck disable=SC2086
      pdf_row "$set" "Pagemint, chi_sim+eng ($(pagemint_model)), upright, two cores" "$cache/out/pagemint-$set/NewPDF.pdf" ${times[pagemint-$set]}
      # shellcheck disable=SC2086
      pdf_row "$set" "Pagemint, chi_sim+eng without upright, one core" "$cache/out/pagemint1-$set/NewPDF.pdf" ${times[pagemint1-$set]}
      # shellcheck disable=SC2086
      echo "| $set | the engine alone, the job's model files, one core | | | $(spread ${times[engine1-$set]}) |"
      # shellcheck disable=SC2086
      ratios+=("$(awk -v s="$set" -v p="$(median ${times[pagemint-$set]})" -v o="$(median ${times[ocrmypdf-$set]})" \
        -v one="$(median ${times[pagemint1-$set]})" -v e="$(median ${times[engine1-$set]})" -v n="$(pages "$set" | wc -l)" 'BEGIN {
        printf "%s: Pagemint / ocrmypdf on two cores %.2fx; on one core Pagemint %.2f s a page, %.2fx the engine alone (medians)", s, p / o, one / 1e9 / n, one / e }')")
    else
      echo "| $set | Pagemint | to be measured: no $main_build/app/data/pagemint-recognizer yet | | |"
    fi
  done
  if [[ ${#ratios[@]} -gt 0 ]]; then
    echo
    printf '%s\n' "${ratios[@]}"
  fi
  if [[ -s $cache/out/faults.txt ]]; then
    echo
    echo "faults (what the job reported or fell short of):"
    sed 's/^/  /' "$cache/out/faults.txt"
  fi
}

mkdir -p "$cache/out"
echo "pages: $cache/pages (clean, photos; 20 each); $runs runs, tools alternated; $(nproc) cores"
if [[ $only == all || $only == pdf ]]; then
  echo
  echo "### From the JPEGs to a searchable PDF"
  echo
  pdf_section
fi
if [[ $only == all || $only == engine ]]; then
  echo
  echo "### The engine alone, one core"
  echo
  engine_section
fi
