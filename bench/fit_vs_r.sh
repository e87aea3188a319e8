#!/usr/bin/env bash
# zav against R on eight right-censored fits (about 30% censored), standard
# errors included, whole process each (reading the data, fitting, the
# standard errors):
#   bench/fit_vs_r.sh [path/to/zav] [--rows=100000,1000000] [--pairs=3]
# The data come from bench/fit_data.R (fixed seeds); zav fits with METHOD
# "BFGS", R with read.table and survreg (fitdistrplus for the gamma when it
# is installed, optim on the log-likelihood for the generalised gamma; see
# bench/fit_r.R). The two run alternately, PAIRS times each, and a third
# zav run per pair leaves out the standard errors. Prints per fit and size:
# the median seconds of each, their ratio, zav's evaluations (fit + standard
# errors), the share of zav's time in the standard-error phase (1 - median
# without / median with), and the largest relative difference of the
# estimates from R's.
set -eu
zav=build/zav
rows=100000,1000000
pairs=3
cases="weib1 weib5 lnorm llogis gauss gamma gengamma exp"
for arg in "$@"; do
  case $arg in
  --rows=*) rows=${arg#--rows=} ;;
  --pairs=*) pairs=${arg#--pairs=} ;;
  --cases=*) cases=${arg#--cases=} ;;
  *) zav=$arg ;;
  esac
done
zav=$(realpath "$zav")
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v Rscript > /dev/null || ! Rscript -e 'library(survival)' > /dev/null 2>&1; then
  apt-get install -y r-base-core r-cran-survival > /dev/null
fi
# KEEP=dir keeps the data (and reuses it) in dir.
work=${KEEP:-$(mktemp -d)}
mkdir -p "$work"
[ -n "${KEEP:-}" ] || trap 'rm -rf "$work"' EXIT

# model CASE: the zav model of a case, its estimates in R's order.
model() {
  case $1 in
  weib1 | weib5)
    local haz="" names='a.1.1, " ", b.1.1' i k=1
    [ "$1" = weib5 ] && k=5
    for i in $(seq 1 "$k"); do
      haz="$haz COVAR x$i PARAM c$i LOW = -10 HIGH = 10 START = 0 END"
      names="$names, \" \", c$i.1.1"
    done
    echo "PDF WEIBULL(t, tc) PARAM a LOW = 0.01 HIGH = 1000 START = 5 END, PARAM b LOW = 0.05 HIGH = 20 START = 1 END, HAZARD $haz END"
    echo "$names" ;;
  exp)
    echo "PDF EXPONENTIAL(t, tc) PARAM a LOW = 0.0001 HIGH = 100 START = 1 END END"
    echo "a.1.1" ;;
  lnorm)
    echo "PDF LNNORMAL(t, tc) PARAM a LOW = 0.01 HIGH = 1000 START = 5 END, PARAM b LOW = 0.01 HIGH = 20 START = 1 END END"
    echo 'a.1.1, " ", b.1.1' ;;
  llogis)
    echo "PDF LNLOGISTIC(t, tc) 0, PARAM a LOW = 0.01 HIGH = 1000 START = 5 END, PARAM b LOW = 0.05 HIGH = 50 START = 1 END END"
    echo 'a.1.1, " ", b.1.1' ;;
  gauss)
    echo "PDF NORMAL(t, tc) PARAM a LOW = -100 HIGH = 100 START = 5 END, PARAM b LOW = 0.01 HIGH = 100 START = 1 END END"
    echo 'a.1.1, " ", b.1.1' ;;
  gamma)
    echo "PDF GAMMA(t, tc) PARAM a LOW = 0.001 HIGH = 100 START = 0.5 END, PARAM b LOW = 0.01 HIGH = 100 START = 2 END END"
    echo 'a.1.1, " ", b.1.1' ;;
  gengamma)
    echo "PDF GENGAMMA(t, tc) PARAM a LOW = 0.01 HIGH = 100 START = 1.5 END, PARAM b LOW = 0.01 HIGH = 1000 START = 4 END, PARAM c LOW = 0.01 HIGH = 100 START = 1.2 END END"
    echo 'a.1.1, " ", b.1.1, " ", c.1.1' ;;
  esac
}

# program CASE SE: writes CASE_SE.zav; its last line is "RESULT evals
# se-evals estimates...".
program() {
  local fields="" i term names
  case $1 in
  weib1) fields="x1 FIELD 3" ;;
  weib5) for i in 1 2 3 4 5; do fields="$fields x$i FIELD $((i + 2))"; done ;;
  esac
  term=$(model "$1" | sed -n 1p)
  names=$(model "$1" | sed -n 2p)
  cat > "$1_$2.zav" << PROGRAM
ZAV
  PRINT_BASIC = FALSE
  PRINT_DATA_STATS = FALSE
  PRINT_COUNTS = FALSE
  PRINT_INFO = FALSE
  PRINT_SE = $2
  PRINT_PARAMS = FALSE
  DATAFILE("$1.dat")
  DATA t FIELD 1  d FIELD 2 $fields  tc = IF d = 1 THEN t ELSE INFINITY END END
  EPSILON = 1E-10
  METHOD = "BFGS"
  MODEL
    DATA $term END
  RUN FULL END
  REALWIDTH = 22
  WRITELN("RESULT ", EVALS.1.1, " ", VCV_EVALS, " ", $names)
END
PROGRAM
}

seconds() { # command...: runs it, prints the wall-clock seconds
  local t0 t1
  t0=$(date +%s.%N)
  "$@" > last.out 2> /dev/null
  t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf '%-9s %8s %8s %8s %7s %7s %8s %9s %9s\n' fit rows "zav s" "R s" zav/R evals "SE evals" "SE share" "vs R"
for n in ${rows//,/ }; do
  mkdir -p "$work/$n"
  cd "$work/$n"
  [ -f exp.dat ] || Rscript "$here/fit_data.R" . "$n" > /dev/null
  for c in $cases; do
    program "$c" TRUE
    program "$c" FALSE
    zs=() rs=() ns=()
    for p in $(seq 1 "$pairs"); do
      zs+=("$(seconds "$zav" -q "${c}_TRUE.zav")")
      zline=$(grep '^RESULT' last.out | cut -d' ' -f2-)
      rs+=("$(seconds Rscript "$here/fit_r.R" "$c" "$c.dat")")
      rline=$(grep '^RESULT' last.out | cut -d' ' -f2-)
      ns+=("$(seconds "$zav" -q "${c}_FALSE.zav")")
    done
    z=$(median "${zs[@]}") r=$(median "${rs[@]}") nose=$(median "${ns[@]}")
    # The largest relative difference of the estimates.
    diff=$(awk -v z="$zline" -v r="$rline" 'BEGIN {
      nz = split(z, a, " "); split(r, b, " "); d = 0
      for (i = 3; i <= nz; i++) { x = (a[i] - b[i - 2]) / b[i - 2]; if (x < 0) x = -x; if (x > d) d = x }
      printf "%.1e", d }')
    set -- $zline
    printf '%-9s %8d %8.2f %8.2f %7.2f %7d %8d %8.0f%% %9s\n' "$c" "$n" "$z" "$r" "$(echo "$z / $r" | bc -l)" \
      "$1" "$2" "$(echo "100 * (1 - $nose / $z)" | bc -l)" "$diff"
  done
done
