#!/usr/bin/env bash
# Builds the storage layer's benchmarks (Release) and prints each figure beside
# an anchor measured in the same run, as a ratio (the machine is shared and
# noisy, so only ratios count):
#
#   the log append        python3-dbf doing the same; a C program doing nothing
#                         but the append's system calls (floor_append.c), also
#                         with the share lock every shared open takes
#   a scan of 1,000,000   pgdbf converting the same table; cat reading it
#   kestrel-dbf dump      pgdbf, both whole processes
#   dump --order          the plain dump of the same table (names in random
#                         order), and the part of it that builds the index
#   IndexOnOne            the same keys cut out by coreutils and sorted by sort(1)
#   Pack                  cp of the same file
#
# The append, the scan and the dump run in five paired rounds and the median
# ratio is printed. Then strace counts the system calls of an append and of a
# scanned record, so that a regression shows as a number.
source "$(dirname "$0")/../configure.sh"
cmake --build "$build" -j 2 --target bench_dbase floor_append kestrel-dbf > /dev/null
bench="$build/bench/dbase/bench_dbase"
floor="$build/bench/dbase/floor_append"
tool="$build/tools/dbf/kestrel-dbf"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KESTREL_BENCH_DIR="$work"
rounds=5
appends=10000

echo "== dbase: Google Benchmark (builds the 1,000,000-record tables once) =="
"$bench" --benchmark_format=console | tee "$work/bench.txt"
scan_table="$work/bench_scan_1000000.dbf"

# Seconds from a Google Benchmark line: real time column and its unit.
seconds_of() {
  awk -v name="$1" '$1 ~ "^"name {t=$2; u=$3} END {
    f=(u=="ns")?1e-9:(u=="us")?1e-6:(u=="ms")?1e-3:1; printf "%.6f", t*f}' "$2"
}
# The same from a run in CSV, which keeps every digit.
csv_seconds_of() {
  awk -F, -v name="$1" 'index($1, name) == 2 {t=$3; u=$5} END {
    f=(u=="ns")?1e-9:(u=="us")?1e-6:(u=="ms")?1e-3:1; printf "%.9f", t*f}' "$2"
}
# Seconds of a whole command, its output thrown away.
time_of() {
  local start end
  start=$(date +%s.%N)
  "$@" > /dev/null
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN {printf "%.6f", e - s}'
}
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

log_fields=(sentname0,C,30,0 sentname1,C,30,0 sentname2,C,30,0 sentname3,C,30,0 city,C,35,0
  state,C,4,0 zip,C,10,0 rdate,D,8,0 mailernum,C,27,0 postage,C,15,0 certified,C,15,0
  restricted,C,15,0 return,C,15,0 total,C,15,0 comments,C,35,0 re,C,25,0)

echo
echo "== dbase: paired rounds (median of $rounds) =="
append_vs_floor=() append_vs_python=() python_vs_shared_floor=() scan_vs_pgdbf=() scan_vs_cat=() dump_vs_pgdbf=()
for round in $(seq "$rounds"); do
  "$bench" --benchmark_filter='^BM_LogAppend' --benchmark_format=csv > "$work/append.txt" 2> /dev/null
  ours=$(csv_seconds_of BM_LogAppend "$work/append.txt")
  rm -f "$work/floor.dbf"
  "$tool" create "$work/floor.dbf" "${log_fields[@]}" 2> /dev/null
  floor_each=$(awk -v t="$("$floor" "$work/floor.dbf" "$appends")" -v n="$appends" \
    'BEGIN {printf "%.9f", t / n}')
  shared_floor_each=$(awk -v t="$("$floor" "$work/floor.dbf" "$appends" shared)" \
    -v n="$appends" 'BEGIN {printf "%.9f", t / n}')
  python_each=$(awk -v t="$(/usr/bin/python3 bench/dbase/python_append.py \
    "$work/py_append.dbf" 2000)" 'BEGIN {printf "%.9f", t / 2000}')
  rm -f "$work/py_append.dbf"
  micro() { awk -v s="$1" 'BEGIN {print s * 1e6}'; }
  printf 'round %d  append: kestrel %6.2f us  floor %5.2f us (with the share lock %5.2f us)' \
    "$round" "$(micro "$ours")" "$(micro "$floor_each")" "$(micro "$shared_floor_each")"
  printf '  python3-dbf %6.1f us\n' "$(micro "$python_each")"
  append_vs_floor+=("$(ratio "$ours" "$floor_each")")
  append_vs_python+=("$(ratio "$python_each" "$ours")")
  python_vs_shared_floor+=("$(ratio "$python_each" "$shared_floor_each")")

  cat "$scan_table" > /dev/null  # the table in the page cache for everyone alike
  "$bench" --benchmark_filter='^BM_ScanEveryField' --benchmark_format=csv > "$work/scan.txt" \
    2> /dev/null
  scan=$(csv_seconds_of BM_ScanEveryField "$work/scan.txt")
  pgdbf=$(time_of pgdbf "$scan_table")
  cat_time=$(time_of cat "$scan_table")
  dump=$(time_of "$tool" dump "$scan_table")
  printf 'round %d  scan: kestrel %.3f s  pgdbf %.3f s  cat %.3f s  kestrel-dbf dump %.3f s\n' \
    "$round" "$scan" "$pgdbf" "$cat_time" "$dump"
  scan_vs_pgdbf+=("$(ratio "$pgdbf" "$scan")")
  scan_vs_cat+=("$(ratio "$scan" "$cat_time")")
  dump_vs_pgdbf+=("$(ratio "$dump" "$pgdbf")")
done

# The ordered dump builds its index first, as every sorted visit does; the
# table is the one IndexOnOne sorts, whose names lie in random order.
sort_table="$work/bench_sort_1000000.dbf"
plain_dumps=() ordered_dumps=()
for round in $(seq 3); do
  plain_dumps+=("$(time_of "$tool" dump "$sort_table")")
  ordered_dumps+=("$(time_of "$tool" dump "$sort_table" --order sentname0)")
  rm -f "$work/sentname0.MDX"
done
plain=$(median "${plain_dumps[@]}")
ordered=$(median "${ordered_dumps[@]}")

# The anchor of IndexOnOne: the keys cut out of the table file by coreutils
# (records folded into lines after the header), then sorted by sort(1).
extract_and_sort() {
  local table=$1 field=$2 header record offset length start end
  header=$("$tool" info "$table" | awk '/^header length:/ {print $3}')
  record=$("$tool" info "$table" | awk '/^record length:/ {print $3}')
  read -r offset length < <("$tool" info "$table" | awk -v f="${field^^}" -F, '
    /^  / {name=$1; sub(/^  /, "", name); if (name == f) {print at + 0, $3; exit} at += $3}')
  start=$(date +%s.%N)
  tail -c +"$((header + 1))" "$table" | head -c -1 | fold -b -w "$record" |
    cut -b "$((offset + 2))-$((offset + 1 + length))" | LC_ALL=C sort -s > /dev/null
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN {printf "%.6f", e - s}'
}
index_name=$(seconds_of BM_IndexOnOne_sentname0 "$work/bench.txt")
index_date=$(seconds_of BM_IndexOnOne_rdate "$work/bench.txt")
sort_name=$(extract_and_sort "$work/bench_sort_1000000.dbf" sentname0)
sort_date=$(extract_and_sort "$work/bench_sort_1000000.dbf" rdate)
pack=$(seconds_of BM_PackOneInTenDeleted "$work/bench.txt")
copy=$(time_of cp "$work/bench_sort_1000000.dbf" "$work/copy.dbf")
rm -f "$work/copy.dbf"

echo
echo "== dbase: ratios (goal in brackets) =="
printf 'log append            %6.1fx faster than python3-dbf [>= 50]   %5.2fx the C floor [<= 2]\n' \
  "$(median "${append_vs_python[@]}")" "$(median "${append_vs_floor[@]}")"
printf '                      (the C floor with the share lock: %.1fx faster than python3-dbf)\n' \
  "$(median "${python_vs_shared_floor[@]}")"
printf 'scan 1,000,000        %6.2fx the rate of pgdbf [>= 2]          %5.2fx the time of cat\n' \
  "$(median "${scan_vs_pgdbf[@]}")" "$(median "${scan_vs_cat[@]}")"
printf 'kestrel-dbf dump      %6.2fx the time of pgdbf [< 1]\n' "$(median "${dump_vs_pgdbf[@]}")"
printf 'dump --order          %6.2fx the plain dump [<= 1.3]  (%.3f s against %.3f s)\n' \
  "$(ratio "$ordered" "$plain")" "$ordered" "$plain"
printf '                      (building the index alone: %.2fx the plain dump)\n' \
  "$(ratio "$index_name" "$plain")"
printf 'IndexOnOne sentname0  %6.2fx its keys cut out and sorted by sort -s [<= 1]\n' \
  "$(ratio "$index_name" "$sort_name")"
printf 'IndexOnOne rdate      %6.2fx its keys cut out and sorted by sort -s [<= 1]\n' \
  "$(ratio "$index_date" "$sort_date")"
printf 'Pack, 1 in 10 deleted %6.2fx cp of the file [<= 1]\n' "$(ratio "$pack" "$copy")"

echo
echo "== dbase: system calls (strace -c -f) =="
calls_of() {
  strace -c -f -o "$work/strace.txt" "$@" > /dev/null 2>&1
  awk '$NF == "total" {print $4}' "$work/strace.txt"
}
baseline=$(calls_of "$bench" --benchmark_filter='^none$')
per_append=$(calls_of "$bench" --benchmark_filter='^BM_LogAppend')
per_scan=$(calls_of "$bench" --benchmark_filter='^BM_ScanEveryField')
awk -v b="$baseline" -v a="$per_append" -v s="$per_scan" -v n="$appends" 'BEGIN {
  printf "per log append      %6.2f (the C floor: 7)\n", (a - b) / n
  printf "per scanned record  %6.4f\n", (s - b) / 1000000 }'
