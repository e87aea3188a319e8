#!/usr/bin/env bash
# Builds zav and runs the bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cd examples
../build/zav -q hello.zav
