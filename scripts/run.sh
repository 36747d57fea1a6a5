#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DPETERIN_TESTS=OFF -DPETERIN_BENCH=OFF
cmake --build build -j "$(nproc)"
program_dir=build/src/app/peterin
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found; run it under a virtual one: xvfb-run -s '-screen 0 1280x1024x24' scripts/run.sh" >&2
  exit 1
fi
# The program reads 設定.ini and its button pictures from the current directory: start it in its
# own folder, where the build puts the pictures and the manual.
cd "$program_dir"
exec ./peterin "$@"
