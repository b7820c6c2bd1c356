#!/usr/bin/env bash
# Mass Print of 1,000 records of an AddressBook to the PDF fallback (numbering,
# one PDF per mailer, log append, settings write), set against its anchor run
# in the same script: reportlab writing the same 1,000 mailers (sender,
# recipient, number text, two Code 128 symbols, POSTNET) as one PDF
# (anchor_mailers.py). Three paired rounds; the median ratio is printed.
source "$(dirname "$0")/../configure.sh"
cmake --build "$build" -j 2 --target bench_addresses > /dev/null
bench="$build/bench/addresses/bench_addresses"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rounds=3

echo "== Mass Print: 1,000 records of an AddressBook to PDF, against reportlab writing the same 1,000 mailers as one PDF =="
ratios=()
for round in $(seq 1 "$rounds"); do
  "$bench" --benchmark_format=json --benchmark_out="$work/mass.json" \
    --benchmark_out_format=json > /dev/null 2>&1
  read -r kestrel peak growth < <(/usr/bin/python3 - "$work/mass.json" <<'PY'
import json, sys
run = json.load(open(sys.argv[1]))["benchmarks"][0]
print(run["mailers_per_s"], run["peak_MB"], run["growth_100_to_1000_MB"])
PY
)
  anchor=$(/usr/bin/python3 bench/addresses/anchor_mailers.py "$work/anchor.pdf" |
           sed -n 's/^mailers_per_s=//p')
  ratio=$(awk -v k="$kestrel" -v a="$anchor" 'BEGIN {printf "%.3f", k / a}')
  ratios+=("$ratio")
  printf 'round %d  kestrel %.1f mailers/s (peak %.0f MB, growth after the 100th %.1f MB)  reportlab %.1f mailers/s  ratio %s\n' \
    "$round" "$kestrel" "$peak" "$growth" "$anchor" "$ratio"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}')
echo "Mass Print vs reportlab: median ratio ${median}x (goal: at least 150 mailers/s)"
