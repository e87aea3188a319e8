#!/usr/bin/env bash
# Runs one golden case and compares its standard output and exit status.
#   run_golden.sh ZAV CASE     (CASE is the path without extension)
# CASE.out    exact expected standard output (required)
# CASE.args   arguments, one per line (default: CASE.zav's file name)
# CASE.in     standard input (default: empty)
# CASE.exit   expected exit status (default: 0)
# CASE.ulimit address-space limit of the run in KiB (ulimit -v), for cases that
#             must run out of memory fast; with ZAV_GOLDEN_NO_ULIMIT set (the
#             sanitizer build cannot run under such a limit) the case is
#             skipped with status 77
# The case runs in a scratch copy of its folder, so files it writes vanish.
# Every gnuplot command file the case writes (a new file with numbered data
# files beside it) is loaded by gnuplot on the dumb terminal; any message from
# gnuplot fails the case. A file that a run-time error cut off in mid-line is
# left out.
set -u
zav=$1
case_path=$2
dir=$(dirname "$case_path")
name=$(basename "$case_path")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$dir"/. "$work"/
cd "$work" || exit 99

args=()
if [ -f "$name.args" ]; then
  while IFS= read -r line || [ -n "$line" ]; do args+=("$line"); done < "$name.args"
else
  args=("$name.zav")
fi
input=/dev/null
[ -f "$name.in" ] && input="$name.in"
want_exit=0
[ -f "$name.exit" ] && want_exit=$(tr -d '[:space:]' < "$name.exit")
limit=
if [ -f "$name.ulimit" ]; then
  if [ -n "${ZAV_GOLDEN_NO_ULIMIT:-}" ]; then
    echo "golden $name: needs an address-space limit; skipped"
    exit 77
  fi
  limit=$(tr -d '[:space:]' < "$name.ulimit")
fi

before=$(find . -type f | sort)
(
  [ -n "$limit" ] && ulimit -v "$limit"
  # Headless, as on a build machine: FINISHPLOT then asks gnuplot for PNG files.
  unset DISPLAY
  exec "$zav" "${args[@]}"
) < "$input" > "$work/.actual" 2>"$work/.stderr"
got_exit=$?
status=0
if ! diff -u "$name.out" "$work/.actual"; then
  echo "golden $name: standard output differs"
  status=1
fi
if [ "$got_exit" != "$want_exit" ]; then
  echo "golden $name: exit status $got_exit, expected $want_exit"
  cat "$work/.stderr"
  status=1
fi

# Plot command files: new files whose data-file stem (the name up to its last
# full stop, or the whole name, then a full stop) numbers at least one file.
plots=()
while IFS= read -r f; do
  [ -n "$f" ] || continue
  base=${f##*/}
  case "$base" in .actual|.stderr) continue ;; esac
  [[ "$base" =~ \.[0-9]{3,}$ ]] && continue  # a numbered data file
  if [[ "$base" == *.* ]]; then stem=${f%.*}.; else stem=$f.; fi
  compgen -G "$stem[0-9][0-9][0-9]" >/dev/null || continue
  [ -z "$(tail -c 1 "$f")" ] || continue
  plots+=("$f")
done < <(comm -13 <(echo "$before") <(find . -type f | sort))
if [ ${#plots[@]} -gt 0 ] && ! command -v gnuplot >/dev/null; then
  echo "golden $name: gnuplot is needed to check its plot files (scripts/setup.sh installs gnuplot-nox)"
  status=1
  plots=()
fi
for f in "${plots[@]}"; do
  said=$(timeout 60 gnuplot -e 'set terminal dumb; set output ".render"' "$f" 2>&1 < /dev/null)
  gp_exit=$?
  if [ $gp_exit != 0 ] || [ -n "$said" ]; then
    echo "golden $name: gnuplot does not take $f (exit $gp_exit):"
    echo "$said"
    status=1
  fi
done
exit $status
