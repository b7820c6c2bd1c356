# Sourced by the benchmark scripts: goes to the top of the tree and configures
# the Release build of the benchmarks in $build, after installing what the
# benchmarks alone need (bench/install-deps.sh).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
bash bench/install-deps.sh
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTREL_BUILD_BENCH=ON \
  -DKESTREL_BUILD_TESTS=OFF > /dev/null
