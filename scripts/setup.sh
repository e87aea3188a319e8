#!/usr/bin/env bash
# Installs the Debian packages zav needs (when run as root and something is
# missing), then configures and builds into ./build. gnuplot-nox is needed
# only to render plots (and by the tests, which load every plot file written).
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(g++ cmake make libgtest-dev libbenchmark-dev libboost-dev gnuplot-nox python3)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" = 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  else
    echo "Please install: ${missing[*]}" >&2
    exit 1
  fi
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
