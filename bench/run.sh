#!/usr/bin/env bash
# Builds the benchmarks (Release) and prints every figure of every subsystem.
# The storage layer's figures are set against the same work done by python3-dbf (append) and
# python3-dbfread (scan), printed as ratios.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTREL_BUILD_BENCH=ON \
  -DKESTREL_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" -j 2 --target bench_dbase > /dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KESTREL_BENCH_DIR="$work"

echo "== dbase: Google Benchmark =="
"$build/bench/dbase/bench_dbase" --benchmark_format=console | tee "$work/bench.txt"

# Seconds per whole run, from Google Benchmark's real-time column.
ours_append=$(awk '/^BM_LogAppend/ {t=$2; u=$3} END {f=(u=="us")?1e-6:(u=="ms")?1e-3:(u=="ns")?1e-9:1; printf "%.3f", t*f*10000}' "$work/bench.txt")
ours_scan=$(awk '/^BM_ScanEveryField/ {t=$2; u=$3} END {f=(u=="ms")?1e-3:(u=="us")?1e-6:(u=="s")?1:1e-9; printf "%.3f", t*f}' "$work/bench.txt")

echo "== dbase: the same work in Python (/usr/bin/python3) =="
py_append=$(/usr/bin/python3 bench/dbase/python_append.py "$work/py_append.dbf" 10000)
py_scan=$(/usr/bin/python3 bench/dbase/python_scan.py "$work/bench_scan_1000000.dbf")
awk -v o="$ours_append" -v p="$py_append" 'BEGIN {
  printf "log append x 10,000     kestrel %8.3f s   python3-dbf     %8.3f s   python/kestrel %6.1f\n", o, p, p / o }'
awk -v o="$ours_scan" -v p="$py_scan" 'BEGIN {
  printf "scan 1,000,000 records  kestrel %8.3f s   python3-dbfread %8.3f s   python/kestrel %6.1f\n", o, p, p / o }'

# Seconds of a benchmark given by name, from the real-time column.
seconds_of() {
  awk -v name="$1" '$1 ~ "^"name {t=$2; u=$3} END {f=(u=="ms")?1e-3:(u=="us")?1e-6:(u=="s")?1:1e-9; printf "%.3f", t*f}' "$work/bench.txt"
}
read_once=$(seconds_of "BM_ReadFileOnce")
index_name=$(seconds_of "BM_IndexOnOne_sentname0")
index_date=$(seconds_of "BM_IndexOnOne_rdate")
pack=$(seconds_of "BM_PackOneInTenDeleted")

echo "== dbase: the same keys sorted by sort(1) (LC_ALL=C, stable) =="
sort_keys() {
  local start end
  start=$(date +%s.%N)
  LC_ALL=C sort -s -t "$(printf '\t')" -k1,1 "$1" > "$work/sorted.txt"
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN {printf "%.3f", e - s}'
}
sort_name=$(sort_keys "$work/bench_sort_1000000.dbf.sentname0.txt")
sort_date=$(sort_keys "$work/bench_sort_1000000.dbf.rdate.txt")
awk -v r="$read_once" -v i="$index_name" -v s="$sort_name" 'BEGIN {
  printf "IndexOnOne sentname0 1,000,000  kestrel %7.3f s   read file once %7.3f s (x%5.1f)   sort(1) %7.3f s (x%5.2f)\n", i, r, i / r, s, i / s }'
awk -v r="$read_once" -v i="$index_date" -v s="$sort_date" 'BEGIN {
  printf "IndexOnOne rdate     1,000,000  kestrel %7.3f s   read file once %7.3f s (x%5.1f)   sort(1) %7.3f s (x%5.2f)\n", i, r, i / r, s, i / s }'
awk -v p="$pack" -v r="$read_once" 'BEGIN {
  printf "Pack 1,000,000, one in ten deleted  kestrel %7.3f s   read file once %7.3f s (x%5.1f)\n", p, r, p / r }'

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

echo "== Print command: PrintOneMailer to PDF with the log append =="
cmake --build "$build" -j 2 --target bench_log > /dev/null
"$build/bench/log/bench_log" --benchmark_format=console 2>/dev/null | grep "^BM_"

echo "== Name and address text files: Import and Export of 100,000 (one process each) =="
cmake --build "$build" -j 2 --target bench_address_text > /dev/null
for name in BM_Import100000Lines BM_Export100000Records; do
  "$build/bench/addresses/bench_address_text" --benchmark_filter="^${name}" 2>/dev/null | grep "^BM_"
done


echo "== Mass Print: 1,000 records of an AddressBook to PDF =="
cmake --build "$build" -j 2 --target bench_addresses > /dev/null
"$build/bench/addresses/bench_addresses" --benchmark_format=console 2>/dev/null | grep "^BM_"
