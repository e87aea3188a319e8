#!/usr/bin/env bash
# Installs the Debian packages zav needs (when run as root and something is
# missing), then configures and builds into ./build: the targets named, or
# everything. gnuplot-nox is needed only to render plots (and by the tests,
# which load every plot file written); libedit-dev gives zav -i line editing.
#   scripts/setup.sh [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh g++ cmake make libgtest-dev libbenchmark-dev libboost-dev libedit-dev gnuplot-nox python3
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
