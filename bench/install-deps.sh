#!/usr/bin/env bash
# What the benchmarks need beyond the program's own dependencies
# (scripts/install-deps.sh): the Python modules of the anchors they are
# measured against. Installs only what is missing.
set -euo pipefail
packages=(python3-reportlab)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" > /dev/null
fi
