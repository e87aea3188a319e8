#!/usr/bin/env bash
# Reading a data file: the whole zav process against the whole python
# process of numpy.loadtxt, on one 1,000,000-line file of 3 numbers.
#   bench/read_vs_numpy.sh ZAV [REPEATS]
# The two runs alternate REPEATS times (default 5) and the medians are
# compared, since the machine may be busy with other work. Also prints the
# peak memory per stored value of zav reading 1,000,000 rows x 5 columns.
set -eu
zav=${1:?usage: read_vs_numpy.sh ZAV [REPEATS]}
repeats=${2:-5}
python=/usr/bin/python3
if ! "$python" -c 'import numpy' 2>/dev/null; then
  apt-get install -y python3-numpy > /dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$python" - <<'PY'
import numpy as np
rng = np.random.default_rng(1)
n = 1_000_000
t = rng.weibull(1.5, n) * 100
status = (rng.random(n) < 0.8).astype(int)
x = rng.normal(50, 10, n)
with open("three.dat", "w") as f:
    for a, b, c in zip(t, status, x):
        f.write("%.6f %d %.4f\n" % (a, b, c))
five = rng.normal(0, 1, (n, 5))
np.savetxt("five.dat", five, fmt="%.6f")
PY

cat > read.zav <<'Z'
ZAV
  PRINT_DATA_STATS = FALSE
  PRINT_BASIC = FALSE
  DATAFILE("three.dat")
  DATA t FIELD 1  status FIELD 2  x FIELD 3 = x / 10 END
END
Z
cat > read.py <<'P'
import numpy as np
d = np.loadtxt("three.dat")
d[:, 2] /= 10
print(len(d))
P
cat > five.zav <<'Z'
ZAV
  PRINT_DATA_STATS = FALSE
  PRINT_BASIC = FALSE
  DATAFILE("five.dat")
  DATA a FIELD 1  b FIELD 2  c FIELD 3  d FIELD 4  v5 FIELD 5 END
END
Z

seconds() { local s e; s=$(date +%s.%N); "$@" > /dev/null; e=$(date +%s.%N); echo "$e - $s" | bc -l; }
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

: > zav.times
: > numpy.times
for _ in $(seq "$repeats"); do
  seconds "$zav" -q read.zav >> zav.times
  seconds "$python" read.py >> numpy.times
done
z=$(median < zav.times)
p=$(median < numpy.times)
printf 'zav %.3f s, numpy.loadtxt %.3f s (medians of %d), ratio %.2f\n' "$z" "$p" "$repeats" "$(echo "$z / $p" | bc -l)"

kb=$( { /usr/bin/time -v "$zav" -q five.zav > /dev/null; } 2>&1 | awk -F: '/Maximum resident set size/ {print $2 + 0}')
printf 'zav 1,000,000 x 5 values: peak %d KiB, %.1f bytes per value\n' "$kb" "$(echo "$kb * 1024 / 5000000" | bc -l)"
