#!/usr/bin/env bash
# Builds the log report's benchmarks (Release) and prints every figure for a
# 100,000-record log sorted by name: the time to the first page of the
# preview, the whole report to a PDF file, and the peak memory of each,
# every benchmark in a process of its own so that each peak is its own.
source "$(dirname "$0")/../configure.sh"
cmake --build "$build" -j 2 --target bench_report > /dev/null

work=${KESTREL_BENCH_DIR:-$(mktemp -d)}
export KESTREL_BENCH_DIR="$work"
export QT_QPA_PLATFORM=offscreen
echo "== log report: 100,000 records sorted by name (one process per benchmark) =="
for name in BM_FirstPage/Short BM_FirstPage/Full BM_WholePdf/Short BM_WholePdf/Full; do
  "$build/bench/report/bench_report" --benchmark_filter="^${name}/" 2>/dev/null | grep "^BM_"
done
