#!/usr/bin/env bash
# Soaks the real program: builds the sanitizer configuration, starts the program under a virtual
# X display in a scratch folder and drives it for MINUTES (default 1) with seeded random real
# input: keys, mouse, wheel, menus, the tool window, the settings dialog, files opened (valid,
# cut short and damaged), dropped on the window and saved. Prints one line
#   soak: ACTIONS actions in MINUTES min, rss START -> END MiB, N faults
# and exits 1 on a crash, a sanitizer report, a hang (no answer for 5 s) or memory growing by more
# than 10 % after the first minute (in a sanitizer build: the memory the program holds, see
# rss_mib in tests/ui/soak.py). PETERIN_SOAK_SEED picks the input (default: the date);
# PETERIN_SOAK_ASAN adds sanitizer options (malloc_context_size=30 to rerun a failed seed with
# the call paths of allocations in its report).
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-1}
seed=${PETERIN_SOAK_SEED:-$(date +%Y%m%d)}
build=${PETERIN_TEST_BUILD:-build-test}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPETERIN_SANITIZE=ON
fi
cmake --build "$build" --target peterin
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
echo "soak: seed $seed, scratch folder $scratch"
# The program's button pictures are read from the current folder.
cp -r "$build/src/app/peterin/画像" "$scratch/" 2>/dev/null || true
scripts/virtual-display.sh 1600x1200 \
  python3 tests/ui/soak.py "$build/src/app/peterin/peterin" "$minutes" "$seed" "$scratch" \
  resources/examples/*.dat fuzz/corpus/dat/*
