#!/usr/bin/env bash
# Installs what is missing, builds everything with the sanitizers and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${PETERIN_TEST_BUILD:-build-test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPETERIN_SANITIZE=ON
cmake --build "$build" -j "$(nproc)"
(cd "$build" && ctest --output-on-failure -j "$(nproc)")

# The real program for a minute under seeded random input. The tests use one fixed seed, so a
# failure here is the same run again; scripts/soak.sh alone takes a new seed each day.
soak_minutes=${PETERIN_SOAK_MINUTES:-1}
if [ "$soak_minutes" != 0 ]; then
  PETERIN_SOAK_SEED=${PETERIN_SOAK_SEED:-20261207} PETERIN_TEST_BUILD=$build \
    scripts/soak.sh "$soak_minutes"
fi

# The optimised build sees warnings the sanitizer build does not (g++ warns more at -O2 and
# above), and it is the one the README's benchmark command makes: it must compile, tests and
# benchmarks included. Its tests are the ones just run, so they are not run again.
release_build=${PETERIN_RELEASE_BUILD:-build-release}
cmake -S . -B "$release_build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$release_build" -j "$(nproc)"

# The Debian package, from that Release build: its files, its dependencies and lintian.
deb=$(PETERIN_PACKAGE_BUILD="$release_build" scripts/package.sh)
tests/app/peterin/check_package.sh "$deb"

# The fuzz targets (clang, libFuzzer): each replays its committed seed corpus, then explores for
# a short while, so a regression in a parser shows here. New inputs go to a scratch folder, never
# into the committed corpus; a crashing input is kept under the build folder and fails the run.
# PETERIN_FUZZ_SECONDS=0 replays the corpora only.
fuzz_build=${PETERIN_FUZZ_BUILD:-build-fuzz}
fuzz_seconds=${PETERIN_FUZZ_SECONDS:-20}
CC=clang CXX=clang++ cmake -S . -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPETERIN_FUZZ=ON -DPETERIN_TESTS=OFF -DPETERIN_BENCH=OFF -DPETERIN_UI=OFF
cmake --build "$fuzz_build" -j "$(nproc)"
artifacts="$fuzz_build/fuzz-artifacts"
mkdir -p "$artifacts"
for fuzzer in "$fuzz_build"/fuzz/*_fuzz; do
  name=$(basename "$fuzzer" _fuzz)
  corpus=fuzz/corpus/$name
  [ -d "$corpus" ] || { echo "No seed corpus for $fuzzer in $corpus" >&2; exit 1; }
  log="$artifacts/$name.log"
  echo "== fuzz $name: corpus replay"
  if ! "$fuzzer" -runs=0 -artifact_prefix="$artifacts/$name-" "$corpus" > "$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "fuzz $name failed on its seed corpus; the input is in $artifacts" >&2
    exit 1
  fi
  grep '^Done' "$log"
  if [ "$fuzz_seconds" -gt 0 ]; then
    echo "== fuzz $name: ${fuzz_seconds}s"
    scratch=$(mktemp -d)
    if ! "$fuzzer" -max_total_time="$fuzz_seconds" -artifact_prefix="$artifacts/$name-" \
      "$scratch" "$corpus" > "$log" 2>&1; then
      rm -rf "$scratch"
      tail -n 40 "$log" >&2
      echo "fuzz $name failed; the input is in $artifacts" >&2
      exit 1
    fi
    rm -rf "$scratch"
    grep '^Done' "$log"
  fi
done
