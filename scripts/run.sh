#!/usr/bin/env bash
# Sets up everything on a Debian 12 machine, builds Kestrel, installs it into
# a self-contained program folder and starts it.
#   KESTREL_PREFIX  where the program folder goes (default /opt/kestrel)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
prefix=${KESTREL_PREFIX:-/opt/kestrel}

bash scripts/install-deps.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTREL_BUILD_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX="$prefix"
cmake --build build/release -j "$(nproc)"
cmake --install build/release
# The users who print join this group (adduser NAME kestrel); the program
# hands the shared folders it makes to it.
getent group kestrel >/dev/null || addgroup --system --quiet kestrel

exec "$prefix/kestrel"
