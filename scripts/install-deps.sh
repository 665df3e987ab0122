#!/usr/bin/env bash
# Installs the Debian packages of a list that are missing; with the default list it then fetches the
# text recogniser's larger Chinese model (fetch-models.sh: it needs curl, and never fails the set-up).
#   scripts/install-deps.sh [LIST]    (default scripts/packages.txt: the build's and the tests';
#                                      bench/packages.txt holds what only the benchmarks need)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
list=${1:-$here/packages.txt}
[ -r "$list" ] || { echo "install-deps.sh: cannot read the list $list" >&2; exit 1; }
mapfile -t wanted < <(grep -v '^\s*#' "$list" | sed '/^\s*$/d')
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ -z "${1:-}" ]; then
  "$here/fetch-models.sh"
fi
