#!/usr/bin/env bash
# Prints the R reference values that tests/programs/model/covariates.zav
# checks (see bench/covariates_vs_r.R), installing R and its survival
# package through apt-get when they are missing:
#   bench/covariates_vs_r.sh
set -eu
cd "$(dirname "$0")/.."
if ! command -v Rscript >/dev/null 2>&1 || ! Rscript -e 'library(survival)' >/dev/null 2>&1; then
  apt-get install -y r-base-core r-cran-survival
fi
exec Rscript bench/covariates_vs_r.R
