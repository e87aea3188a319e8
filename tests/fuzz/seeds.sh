#!/usr/bin/env bash
# Builds the seed corpora of the fuzzing harnesses from the golden tests:
#   tests/fuzz/seeds.sh OUTDIR
# OUTDIR/parse and OUTDIR/run get every golden program, OUTDIR/datafile every
# golden data file, OUTDIR/numlit every distinct word of those data files
# and of the -pn arguments of the golden cases.
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
programs="$here/../programs"
rm -rf "$out"
mkdir -p "$out/parse" "$out/run" "$out/datafile" "$out/numlit"
n=0
while IFS= read -r -d '' f; do
  n=$((n + 1))
  cp "$f" "$out/parse/$n.zav"
  cp "$f" "$out/run/$n.zav"
done < <(find "$programs" -name '*.zav' -print0 | sort -z)
n=0
while IFS= read -r -d '' f; do
  n=$((n + 1))
  cp "$f" "$out/datafile/$n.dat"
done < <(find "$programs" -name '*.dat' -print0 | sort -z)
{
  find "$programs" -name '*.dat' -exec cat {} +
  find "$programs" -name '*.args' -exec grep -h -A1000 -e '^-pn$' {} + | grep -v -e '^-pn$' -e '^--$'
} | tr -s ' \t\r' '\n\n\n' | grep -v '^$' | sort -u | head -2000 | {
  n=0
  while IFS= read -r w; do
    n=$((n + 1))
    printf '%s' "$w" > "$out/numlit/$n"
  done
}
