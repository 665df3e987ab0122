#!/usr/bin/env bash
# Fetches the larger Chinese model for the text recogniser (the 4.0.0 chi_sim of the npm package
# @tesseract.js-data/chi_sim 1.0.0: 0 to 3% character errors on our pages where Debian's small
# model makes 1 to 11%) into the per-user cache, checked against the sums in models.sha256. The
# build copies it into the application's data/tessdata/. When it cannot be had (no network, a
# wrong sum) the set-up goes on: the recogniser then reads Debian's chi_sim and says so.
#   PAGEMINT_MODEL_CACHE  the cache folder (default ${XDG_CACHE_HOME:-$HOME/.cache}/pagemint/models)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${PAGEMINT_MODEL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pagemint/models}
url=https://registry.npmjs.org/@tesseract.js-data/chi_sim/-/chi_sim-1.0.0.tgz
member=package/4.0.0/chi_sim.traineddata.gz
tarball=chi_sim-1.0.0.tgz
model=chi_sim.traineddata

sumOf() { grep "  $1\$" "$here/models.sha256" | cut -d' ' -f1; }
matches() { [ -f "$1" ] && [ "$(sha256sum "$1" | cut -d' ' -f1)" = "$(sumOf "$2")" ]; }
giveUp() {
  echo "fetch-models: $1; the recogniser will use Debian's Chinese model" >&2
  rm -f "$cache/$tarball.part" "$cache/$model.part"
  exit 0
}

matches "$cache/$model" "$model" && exit 0
mkdir -p "$cache" || giveUp "cannot make $cache"
if ! matches "$cache/$tarball" "$tarball"; then
  echo "fetch-models: downloading $url"
  curl -fsSL --retry 2 --connect-timeout 20 --max-time 600 -o "$cache/$tarball.part" "$url" ||
    giveUp "cannot download $url"
  matches "$cache/$tarball.part" "$tarball" || giveUp "$url does not have the expected SHA-256"
  mv -f "$cache/$tarball.part" "$cache/$tarball" || giveUp "cannot write $cache/$tarball"
fi
tar -xzOf "$cache/$tarball" "$member" | gunzip > "$cache/$model.part" || giveUp "cannot unpack $member"
matches "$cache/$model.part" "$model" || giveUp "$member does not have the expected SHA-256"
mv -f "$cache/$model.part" "$cache/$model" || giveUp "cannot write $cache/$model"
rm -f "$cache/$tarball" # the unpacked model is what is kept and checked from now on
