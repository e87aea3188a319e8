#!/usr/bin/env bash
# Builds zav alone (not the tests and benchmarks, which take most of the
# build) and runs the bundled example: a Weibull survival fit with right
# censoring and a covariate (examples/weibull.zav on examples/survival.dat).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh zav
cd examples
../build/zav -q weibull.zav
