#!/usr/bin/env bash
# Builds every libFuzzer target and runs each in turn for the given number of
# seconds, one job at a time. Usage:
#
#   bash fuzz/run.sh SECONDS [TARGET...]
#
# With target names, only those run. Each target's working corpus grows in
# build/fuzz/corpus/<target> (seeded from the corpus/ folder beside its
# source, which stays as it is), and what it finds lands in
# build/fuzz/artifacts/<target>/ with the run's log beside it. Exits non-zero
# when any target found a crash, a hang, a leak or undefined behaviour.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

seconds=${1:?usage: bash fuzz/run.sh SECONDS [TARGET...]}
shift
build=${KESTREL_FUZZ_BUILD:-build/fuzz}

cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKESTREL_BUILD_FUZZ=ON -DKESTREL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzzers -j "$(nproc)"

# Undefined behaviour stops the run like a crash does, with its stack.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export QT_QPA_PLATFORM=offscreen

failed=0
while IFS=$'\t' read -r program folder; do
  name=$(basename "$program")
  if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qx "$name"; then continue; fi
  corpus=$build/corpus/$name
  artifacts=$build/artifacts/$name
  mkdir -p "$corpus" "$artifacts"
  if [ -d "$folder/corpus" ]; then cp -n "$folder"/corpus/* "$corpus"/; fi
  options=(-max_total_time="$seconds" -max_len=16384 -artifact_prefix="$artifacts/")
  for dictionary in "$folder"/*.dict; do
    if [ -e "$dictionary" ]; then options+=(-dict="$dictionary"); fi
  done
  log=$artifacts/run.log
  echo "== $name, $seconds s"
  if "$program" "${options[@]}" "$corpus" >"$log" 2>&1; then
    result=clean
  else
    result="FOUND SOMETHING: see $log and $artifacts/"
    failed=1
  fi
  done_line=$(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" | tail -n 1 || true)
  echo "   $result; ${done_line:-no summary}; corpus $(find "$corpus" -type f | wc -l) files"
done <"$build/fuzz/targets.txt"
exit "$failed"
