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

bash "$(dirname "$0")/../scripts/install-missing.sh" "${packages[@]}"
