#!/usr/bin/env bash
# Builds the Debian package from the Release build that scripts/run.sh also uses (made or
# brought up to date here) and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PETERIN_PACKAGE_BUILD:-build}
# A Release tree made elsewhere (with its tests and benchmarks) is used as it is configured.
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPETERIN_TESTS=OFF -DPETERIN_BENCH=OFF >&2
fi
cmake --build "$build" -j "$(nproc)" >&2
rm -f "$build"/peterin_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/peterin_*.deb
