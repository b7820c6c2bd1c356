#!/usr/bin/env bash
# Installs the Debian packages that only the benchmarks need: the anchors
# their figures are set against (the product's own packages come from
# scripts/install-deps.sh). Idempotent: packages already present are
# skipped, and apt's lists are only refreshed when something is missing.
set -euo pipefail

packages=(
  # the log report's anchor (bench/report/anchor_report.py) reads the log and
  # writes the same report as a PDF; Mass Print's (bench/addresses/
  # anchor_mailers.py) writes the same mailers
  python3-dbfread python3-reportlab
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing for the benchmarks: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
