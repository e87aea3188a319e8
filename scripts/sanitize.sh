#!/usr/bin/env bash
# The sanitizer half of CI. Builds zav, its tests and the fuzzing harnesses
# with clang under AddressSanitizer and UndefinedBehaviorSanitizer into
# ./build-asan, runs the whole test suite there, then gives each harness a
# short fixed run from the seed corpora (tests/fuzz/seeds.sh). Any crash,
# sanitizer report or leak fails. Installs clang when run as root and it is
# missing.
#   scripts/sanitize.sh [runs-scale]   (runs-scale multiplies the fuzz runs, default 1)
set -euo pipefail
cd "$(dirname "$0")/.."
scale=${1:-1}
scripts/packages.sh clang-14 libclang-rt-14-dev

cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZAV_SANITIZE=ON -DZAV_FUZZ=ON -DZAV_BENCH=OFF >/dev/null
cmake --build build-asan -j"$(nproc)"

# Allocation failures must reach zav's own "Out of memory" report; cases that
# need an address-space limit cannot run under the sanitizer and are skipped.
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1:max_allocation_size_mb=4096
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ZAV_GOLDEN_NO_ULIMIT=1
(cd build-asan && ctest --output-on-failure -j"$(nproc)")

# The smoke runs use a fixed seed and a fixed number of inputs (each about a
# minute on a 2-core machine), so that they find the same inputs on every
# machine: a crash they find is a crash of the change under test.
seeds=build-asan/fuzz-seeds
tests/fuzz/seeds.sh "$seeds"
declare -A runs=([numlit]=15000000 [parse]=11000 [run]=10000 [datafile]=9000)
for h in numlit parse run datafile; do
  corpus=$(mktemp -d)
  echo "fuzz_$h: $((runs[$h] * scale)) runs"
  build-asan/fuzz_$h -seed=1 -runs=$((runs[$h] * scale)) -max_len=4096 -dict=tests/fuzz/zav.dict \
    -artifact_prefix="build-asan/fuzz_$h-" -print_final_stats=1 "$corpus" "$seeds/$h" 2>&1 | tail -12
  rm -rf "$corpus"
done
