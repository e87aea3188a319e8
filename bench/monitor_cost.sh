#!/usr/bin/env bash
# What the keyboard poll costs a fit: times the same fits with two builds of
# zav (say, one from before the poll existed and the current one) and prints
# the ratio of their CPU times. The fits have the cheapest likelihood there
# is (eight observations), so the poll's share is as large as it gets;
# annealing polls after every single evaluation.
#   bench/monitor_cost.sh OLD_ZAV NEW_ZAV [runs]
# Each fit runs `runs` times (default 5) per build; the best user+system CPU
# time counts, which is steadier than wall time on a shared machine.
set -eu
old=$(realpath "$1")
new=$(realpath "$2")
runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '2\n4\n4\n4\n5\n5\n7\n9\n' > "$work/n8.dat"
for method in DIRECT SIMPLEX ANNEALING; do
  iterations=4000
  [ "$method" = SIMPLEX ] && iterations=150000
  cat > "$work/$method.zav" <<PROGRAM
ZAV
  PRINT_BASIC = FALSE
  PRINT_DATA_STATS = FALSE
  PRINT_COUNTS = FALSE
  DATAFILE("n8.dat")
  DATA x FIELD 1 END
  METHOD = $method
  MAXITER = $iterations
  MAXEVALS = 2000000000
  EPSILON = -1
  MODEL
    DATA EXP(-0.5*((x - PARAM mu LOW = 0 HIGH = 10 START = 1 END)/PARAM sigma LOW = 0.1 HIGH = 10 START = 1 END)^2)/(sigma*SQRT(2*PI)) END
  RUN FULL END
END
PROGRAM
done
# Best CPU seconds of `runs` runs of one build on one fit.
best() {
  local zav=$1 prog=$2 t min=
  for _ in $(seq "$runs"); do
    t=$( { cd "$work" && TIMEFORMAT='%U %S' && time "$zav" -q "$prog" > /dev/null < /dev/null; } 2>&1 | awk '{print $1 + $2}')
    if [ -z "$min" ] || awk -v a="$t" -v b="$min" 'BEGIN{exit !(a < b)}'; then min=$t; fi
  done
  echo "$min"
}
for method in DIRECT SIMPLEX ANNEALING; do
  o=$(best "$old" "$method.zav")
  n=$(best "$new" "$method.zav")
  awk -v m="$method" -v o="$o" -v n="$n" 'BEGIN{printf "%-10s old %6.3fs  new %6.3fs  new/old %.4f\n", m, o, n, n / o}'
done
