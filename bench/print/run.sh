#!/usr/bin/env bash
# Builds the form printer's benchmarks (Release) and prints every figure: one
# mailer as a 600-dpi PDF and as a 300-dpi image, the whole-file check of a
# mailer PDF, labels per second of a 1,000-label run, and the peak memory of
# each, every benchmark in a process of its own so that each peak is its own.
source "$(dirname "$0")/../configure.sh"
cmake --build "$build" -j 2 --target bench_print > /dev/null

export QT_QPA_PLATFORM=offscreen
echo "== print: Google Benchmark (one process per benchmark) =="
for name in BM_MailerPdf600 BM_CheckMailerPdf BM_MailerImage300 BM_LabelRun1000Pdf BM_LabelRun1000Image300; do
  "$build/bench/print/bench_print" --benchmark_filter="^${name}(/|\$)" 2>/dev/null | grep "^BM_"
done
