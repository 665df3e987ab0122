#!/usr/bin/env bash
# Installs what is missing, builds, and starts Pagemint.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build -j"$(nproc)" --target pagemint pdf.exe pagemint-decoder pagemint-fallback-decoder pagemint-recognizer
exec build/app/pagemint "$@"
