#!/usr/bin/env bash
# Line coverage of the file readers from the committed fuzz corpora: builds the fuzz targets with
# clang's source-based coverage (in build-fuzz-cov), replays each corpus once and prints
# llvm-cov's report for the readers. A corpus input that adds coverage is worth committing.
#   scripts/fuzz-coverage.sh [FILE...]   (default: the .dat, pattern and 設定.ini readers)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PETERIN_COVERAGE_BUILD:-build-fuzz-cov}
files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  files=(src/files/dat_file.cpp src/files/text_input.cpp src/sequence/pattern.cpp
    src/settings/ini_file.cpp)
fi
coverage="-fprofile-instr-generate -fcoverage-mapping"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPETERIN_FUZZ=ON -DPETERIN_TESTS=OFF -DPETERIN_BENCH=OFF -DPETERIN_UI=OFF \
  -DCMAKE_CXX_FLAGS="$coverage" -DCMAKE_EXE_LINKER_FLAGS="$coverage" > /dev/null
cmake --build "$build" -j "$(nproc)"
profiles="$build/profiles"
rm -rf "$profiles"
mkdir -p "$profiles"
objects=()
for fuzzer in "$build"/fuzz/*_fuzz; do
  name=$(basename "$fuzzer" _fuzz)
  LLVM_PROFILE_FILE="$profiles/$name.profraw" "$fuzzer" -runs=0 "fuzz/corpus/$name" \
    > "$profiles/$name.log" 2>&1
  objects+=(-object "$fuzzer")
done
llvm-profdata merge -sparse "$profiles"/*.profraw -o "$profiles/all.profdata"
# The first -object is given without the flag.
llvm-cov report "${objects[@]:1}" -instr-profile="$profiles/all.profdata" "${files[@]}"
