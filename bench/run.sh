#!/usr/bin/env bash
# Builds the benchmarks (Release) and prints every figure of every subsystem.
# The storage layer's figures are set against anchors measured in the same run
# (python3-dbf, pgdbf, a C program of the append's bare system calls, cat, sort,
# cp) and printed as ratios; see bench/dbase/run.sh.
source "$(dirname "$0")/configure.sh"
bash bench/dbase/run.sh

echo "== index building blocks: Google Benchmark =="
cmake --build "$build" -j 2 --target mdx_bench numbering_bench > /dev/null
"$build/bench/mdx/mdx_bench" --benchmark_format=console

echo "== bar-code images: Google Benchmark =="
"$build/bench/numbering/numbering_bench" --benchmark_format=console

bash bench/print/run.sh

echo "== entry: a 1 MB paste into the recipient, time until the window settles =="
cmake --build "$build" -j 2 --target bench_entry > /dev/null
QT_QPA_PLATFORM=offscreen "$build/bench/entry/bench_entry" --benchmark_format=console 2>/dev/null

bash bench/report/run.sh

echo "== Print command: PrintOneMailer to PDF with the log append; the look-up of a number in the log (goal: under 20 ms for 100,000 records) =="
cmake --build "$build" -j 2 --target bench_log > /dev/null
"$build/bench/log/bench_log" --benchmark_format=console 2>/dev/null | grep "^BM_"

echo "== Name and address text files: Import and Export of 100,000 (one process each) =="
cmake --build "$build" -j 2 --target bench_address_text > /dev/null
for name in BM_Import100000Lines BM_Export100000Records; do
  "$build/bench/addresses/bench_address_text" --benchmark_filter="^${name}" 2>/dev/null | grep "^BM_"
done

bash bench/addresses/run.sh
