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

(
  [ -n "$limit" ] && ulimit -v "$limit"
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
exit $status
