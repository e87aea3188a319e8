#!/usr/bin/env bash
# Runs one golden case and compares its standard output and exit status.
#   run_golden.sh ZAV CASE     (CASE is the path without extension)
# CASE.out    exact expected standard output (required)
# CASE.args   arguments, one per line (default: CASE.zav's file name)
# CASE.in     standard input (default: empty)
# CASE.exit   expected exit status (default: 0)
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

"$zav" "${args[@]}" < "$input" > "$work/.actual" 2>"$work/.stderr"
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
