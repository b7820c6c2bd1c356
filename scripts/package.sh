#!/usr/bin/env bash
# Sets up everything on a Debian 12 machine, builds Kestrel (Release) and
# makes the Debian package dist/kestrel_<version>_amd64.deb with CPack.
# Install it with: apt install ./dist/kestrel_<version>_amd64.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

bash scripts/install-deps.sh

# The build of scripts/run.sh: its install prefix does not matter here.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTREL_BUILD_TESTS=OFF
cmake --build build/release -j "$(nproc)"
rm -rf build/release/package
cpack -G DEB --config build/release/CPackConfig.cmake -B build/release/package
mkdir -p dist
cp build/release/package/kestrel_*_amd64.deb dist/
ls -l dist/kestrel_*_amd64.deb
