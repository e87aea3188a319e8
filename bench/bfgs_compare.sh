#!/usr/bin/env bash
# Compares METHOD = "BFGS" with the direct search (METHOD = DIRECT) on
# Weibull proportional-hazards fits of generated data, and both with the
# maximum log-likelihood that Newton's method finds in R (bench/bfgs_data.R):
#   bench/bfgs_compare.sh [path/to/zav] [--all]
# Cases at EPSILON = 1E-12: weib600 (600 observations, 3 parameters),
# weib3cov (800, 3 covariates, 5 parameters), weibage (228, age 40..80 as
# recorded and sex coded 1/2, uncentred, so that the scale and the age
# coefficient are strongly correlated) and lung (the survival package's
# lung data, age and sex as recorded, when the package is installed); at
# EPSILON = 1E-10: weib100k (100,000 observations, the model of weib600).
# The direct search on weib100k takes many minutes; it runs only with --all.
# Prints per case and method: evaluations, termination reason, the
# log-likelihood minus Newton's maximum, and the largest relative
# difference of the estimates from Newton's and from the direct search's.
set -eu
zav=build/zav
all=0
for arg in "$@"; do
  case $arg in
  --all) all=1 ;;
  *) zav=$arg ;;
  esac
done
zav=$(realpath "$zav")
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v Rscript > /dev/null; then
  apt-get install -y r-base-core > /dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
Rscript "$here/bfgs_data.R" "$work" > /dev/null

# program CASE METHOD EPSILON [MAXITER]: writes CASE_METHOD.zav, whose last
# line of output is "RESULT ll evals reason estimates...".
program() {
  local case=$1 method=$2 eps=$3 maxiter=${4:-100} fields haz names astart=5
  case $case in
  weib600 | weib100k)
    fields="x FIELD 3"
    haz="COVAR x PARAM beta LOW = -10 HIGH = 10 START = 0 END"
    names="beta.1.1" ;;
  weib3cov)
    fields="x1 FIELD 3  x2 FIELD 4  x3 FIELD 5"
    haz="COVAR x1 PARAM beta1 LOW = -10 HIGH = 10 START = 0 END COVAR x2 PARAM beta2 LOW = -10 HIGH = 10 START = 0 END COVAR x3 PARAM beta3 LOW = -10 HIGH = 10 START = 0 END"
    names='beta1.1.1, " ", beta2.1.1, " ", beta3.1.1'
    astart=10 ;;
  weibage | lung)
    fields="age FIELD 3  sex FIELD 4"
    haz="COVAR age PARAM bage LOW = -10 HIGH = 10 START = 0 END COVAR sex PARAM bsex LOW = -10 HIGH = 10 START = 0 END"
    names='bage.1.1, " ", bsex.1.1'
    astart=300 ;;
  esac
  cat > "${case}_$method.zav" << PROGRAM
ZAV
  PRINT_BASIC = FALSE
  PRINT_DATA_STATS = FALSE
  PRINT_COUNTS = FALSE
  PRINT_INFO = FALSE
  PRINT_SE = FALSE
  DATAFILE("$case.dat")
  DATA t FIELD 1  d FIELD 2  $fields  tc = IF d = 1 THEN t ELSE INFINITY END END
  EPSILON = $eps
  MAXITER = $maxiter
  METHOD = "$method"
  MODEL
    DATA PDF WEIBULL(t, tc) PARAM a LOW = 0.01 HIGH = 100000 START = $astart END, PARAM b LOW = 0.05 HIGH = 20 START = 1 END,
      HAZARD $haz END END
  RUN FULL END
  REALWIDTH = 24
  WRITELN("RESULT ", LOGLIKELIHOOD.1.1, " ", EVALS.1.1, " ", CONVERGE_FLAG.1.1, " ", a.1.1, " ", b.1.1, " ", $names)
END
PROGRAM
}

run() { "$zav" -q "$1_$2.zav" | grep '^RESULT' | cut -d' ' -f2-; }

printf '%-9s %-7s %7s %6s %12s %10s %10s\n' case method evals reason "LL - Newton" "vs Newton" "vs DIRECT"
# The last two columns: the largest relative difference of the estimates
# from Newton's and (for BFGS) from the direct search's.
compare() {
  local case=$1 eps=$2 direct=$3 ref est bfgs other=""
  ref=$(awk '$1 == "ll" { print $2 }' "$case.ref")
  est=$(awk '$1 != "ll" { printf "%s ", $2 }' "$case.ref")
  program "$case" BFGS "$eps"
  bfgs=$(run "$case" BFGS)
  if [ "$direct" = 1 ]; then
    # The direct search gets every chance: iterations are limited only by
    # MAXEVALS (100,000).
    program "$case" DIRECT "$eps" 100000
    other=$(run "$case" DIRECT)
  fi
  for method in DIRECT BFGS; do
    local line=$bfgs
    [ $method = DIRECT ] && line=$other
    [ -z "$line" ] && continue
    echo "$line" | awk -v c="$case" -v m="$method" -v ref="$ref" -v est="$est" -v other="$other" '
      function maxrel(against, k, v, i, r, d) {
        split(against, v, " "); d = 0
        for (i = 4; i <= NF; i++) { r = ($i - v[i - k]) / v[i - k]; if (r < 0) r = -r; if (r > d) d = r }
        return sprintf("%.1e", d)
      }
      { # fields: ll evals reason estimates...
        vsDirect = m == "BFGS" && other != "" ? maxrel(other, 0) : "-"
        printf "%-9s %-7s %7d %6d %12.1e %10s %10s\n", c, m, $2, $3, $1 - ref, maxrel(est, 3), vsDirect
      }'
  done
}
compare weib600 1E-12 1
compare weib3cov 1E-12 1
compare weibage 1E-12 1
[ -f lung.dat ] && compare lung 1E-12 1
compare weib100k 1E-10 "$all"
