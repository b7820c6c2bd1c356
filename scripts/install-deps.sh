#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Kestrel needs.
# Idempotent: packages already present are skipped, and apt's lists are only
# refreshed when something is missing.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ clang pkg-config libclang-rt-14-dev
  # windows, dialogs, printing
  qt6-base-dev qt6-base-dev-tools libqt6svg6 libgl-dev qt6-qpa-plugins
  # print jobs are handed to CUPS (the client library and its headers)
  libcups2-dev
  # the form printer writes its PDF files itself (compression)
  zlib1g-dev
  # tests and benchmarks, and the benchmarks' anchors and system-call counts
  googletest libgtest-dev libgmock-dev libbenchmark-dev pgdbf strace
  # fonts the mailer is printed with
  fonts-ocr-a fonts-liberation2 fontconfig
  # independent oracles used only by tests
  python3 python3-dbfread python3-dbf python3-pil python3-zxing-cpp python3-fonttools qpdf
  libdbd-xbase-perl libzint-dev libzxing-dev poppler-utils
  # a private CUPS scheduler with a PDF queue, for the real-printer test
  cups printer-driver-cups-pdf
  # formatting
  clang-format
  # the Debian package (scripts/package.sh) and its checks
  dpkg-dev lintian appstream desktop-file-utils help2man adduser
  # a locale with "," as decimal separator, for the tests that amounts ignore it
  locales-all
)

bash "$(dirname "$0")/install-missing.sh" "${packages[@]}"
