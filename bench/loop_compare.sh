#!/usr/bin/env bash
# Times the same numeric loop in zav, python3 and (when installed) lua5.4 and
# prints each tool's time relative to zav's. Use a Release build of zav:
#   bench/loop_compare.sh [path/to/zav] [runs]
# Each tool runs `runs` times (default 3); the best user+system CPU time
# counts, which is steadier than wall time on a shared machine.
set -eu
zav=${1:-build/zav}
runs=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/loop.zav" <<'PROGRAM'
ZAV
  s:REAL = 0
  FOR i = 1 TO 10000000 DO s = s + SQRT(i) * 0.5 END
  WRITELN(s)
END
PROGRAM
cat > "$work/loop.py" <<'PY'
import math
s = 0.0
for i in range(1, 10000001):
    s = s + math.sqrt(i) * 0.5
print(s)
PY
cat > "$work/loop.lua" <<'LUA'
local s = 0.0
for i = 1, 10000000 do s = s + math.sqrt(i) * 0.5 end
print(s)
LUA

# Best CPU seconds (user + system) of `runs` runs of the command.
best() {
  local best_t=""
  for _ in $(seq "$runs"); do
    local t
    t=$( { /usr/bin/time -f '%U %S' "$@" > /dev/null; } 2>&1 | tail -1 | awk '{ print $1 + $2 }')
    if [ -z "$best_t" ] || awk -v a="$t" -v b="$best_t" 'BEGIN { exit !(a < b) }'; then best_t=$t; fi
  done
  echo "$best_t"
}

echo "zav:     $("$zav" -q "$work/loop.zav")"
echo "python3: $(python3 "$work/loop.py")"
t_zav=$(best "$zav" -q "$work/loop.zav")
t_py=$(best python3 "$work/loop.py")
printf 'zav      %6.2f s\n' "$t_zav"
printf 'python3  %6.2f s   python3/zav = %.2f\n' "$t_py" "$(awk -v a="$t_py" -v b="$t_zav" 'BEGIN { print a / b }')"
if command -v lua5.4 > /dev/null; then
  t_lua=$(best lua5.4 "$work/loop.lua")
  printf 'lua5.4   %6.2f s   lua5.4/zav  = %.2f\n' "$t_lua" "$(awk -v a="$t_lua" -v b="$t_zav" 'BEGIN { print a / b }')"
else
  echo "lua5.4 not installed: skipped"
fi
