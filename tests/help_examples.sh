#!/usr/bin/env bash
# Every example the help prints does what the help says:
# - each line of the NUMBERS forms table ("  text  type value  note") goes
#   through zav -pn and must give that type and value;
# - each "Example:" of a topic or special-form block (the lines indented two
#   blanks after it and its caption), wrapped in ZAV ... END unless it is a
#   whole program, runs as printed in an empty folder and must end with
#   status 0.
#   help_examples.sh ZAV
set -u
zav=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 99
status=0

forms=0
in_forms=0
while IFS= read -r line; do
  if [[ "$line" == Forms:* ]]; then in_forms=1; continue; fi
  [ $in_forms = 1 ] || continue
  [[ "$line" == "  "* ]] || break
  read -r text type value _ <<< "$line"
  got=$("$zav" -pn "$text")
  # "TEXT" is TYPE VALUE; complex values are written re+imi or re-imi.
  if ! awk -v got="${got#\""$text"\" is }" -v type="$type" -v want="$value" '
      function parts(s, p) {
        if (s !~ /i$/) { p[1] = s + 0; p[2] = 0; return }
        s = substr(s, 1, length(s) - 1)
        k = match(substr(s, 2), /[-+]/) + 1
        p[1] = substr(s, 1, k - 1) + 0; p[2] = substr(s, k) + 0
      }
      function near(a, b) { d = a - b; if (d < 0) d = -d; return d <= 1e-8 * (1 + (b < 0 ? -b : b)) }
      BEGIN {
        split(got, g, " ")
        if (g[1] != type) exit 1
        parts(g[2], x); parts(want, y)
        exit !(near(x[1], y[1]) && near(x[2], y[2]))
      }'; then
    echo "NUMBERS: $text should be $type $value, -pn says: $got"
    status=1
  fi
  forms=$((forms + 1))
done < <("$zav" -h NUMBERS)
if [ $forms -lt 20 ]; then
  echo "NUMBERS: only $forms forms found"
  status=1
fi

# The topics with code to show, then the special forms as FUNCTION lists them.
names=(ZAV MODEL DATA IF BEGIN REPEAT WHILE FOR PFOR PBEGIN PMODEL PROCEDURE ASSIGNMENT FUNCTION INCLUDE BREAK
       CURVE PLOT PROFILEBEGIN WITH MULTIPLOT EXIT HAZARD)
while read -r -a row; do names+=("${row[@]}"); done < <("$zav" -h zav-no-such-topic |
  sed -n '/^Help is available for the following types/,/^$/p' | sed '1d;$d')
for name in "${names[@]}"; do
  # The caption after "Example:" may run on over unindented lines.
  "$zav" -h "$name" | awk -v stem="$name" '
    /^Example:/ { n++; file = stem "." n ".ex"; printf "" > file; code = 0; next }
    file != "" && /^  / { print substr($0, 3) > file; code = 1; next }
    file != "" && !code { next }
    { file = "" }'
  shopt -s nullglob
  examples=("$name".*.ex)
  shopt -u nullglob
  if [ ${#examples[@]} = 0 ]; then
    echo "$name: the help shows no example"
    status=1
  fi
  for ex in "${examples[@]}"; do
    if [ ! -s "$ex" ]; then
      echo "$name: an example without code"
      status=1
    fi
    run=$(mktemp -d "$work/run.XXXX")
    if [ "$(head -n 1 "$ex")" = ZAV ]; then cp "$ex" "$run/prog.zav"; else { echo ZAV; cat "$ex"; echo END; } > "$run/prog.zav"; fi
    if ! said=$(cd "$run" && "$zav" -q -b prog.zav 2>&1 < /dev/null); then
      echo "$name: this example does not run:"
      cat "$ex"
      echo "$said"
      status=1
    fi
  done
  rm -f ./*.ex
done
exit $status
