#!/usr/bin/env bash
# Builds zav and runs every unit and golden test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cd build
ctest --output-on-failure -j"$(nproc)"
