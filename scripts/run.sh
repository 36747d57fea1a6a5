#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it; with --virtual-display, on a
# virtual display of its own (for a machine without one).
set -euo pipefail
virtual=
if [ "${1:-}" = --virtual-display ]; then
  virtual=1
  shift
fi
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DPETERIN_TESTS=OFF -DPETERIN_BENCH=OFF
cmake --build build -j "$(nproc)"
program_dir=build/src/app/peterin
if [ -z "$virtual" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found; run it on a virtual one: scripts/run.sh --virtual-display" >&2
  exit 1
fi
# The program reads 設定.ini and its button pictures from the current directory: start it in its
# own folder, where the build puts the pictures and the manual.
cd "$program_dir"
if [ -n "$virtual" ]; then
  exec "$root/scripts/virtual-display.sh" 1280x1024 ./peterin "$@"
fi
exec ./peterin "$@"
