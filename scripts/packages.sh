#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are missing (as root),
# or names them and fails (as anyone else).
#   scripts/packages.sh package...
set -euo pipefail
missing=()
for p in "$@"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" = 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
else
  echo "Please install: ${missing[*]}" >&2
  exit 1
fi
