#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DPETERIN_TESTS=OFF -DPETERIN_BENCH=OFF
cmake --build build -j "$(nproc)"
program=build/src/app/peterin/peterin
if [ -f "$program" ] && [ -x "$program" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found; run it under a virtual one: xvfb-run -s '-screen 0 1280x1024x24' scripts/run.sh" >&2
    exit 1
  fi
  exec "$program" "$@"
fi
# Without the window program, show the engine at work through the command-line tool instead.
echo "The window program is not built yet; resolving an example position with peterin-sim:" >&2
exec build/src/app/sim/peterin-sim resolve resources/examples/three_chain.dat
