#!/usr/bin/env bash
# Configures the Windows build in BUILD_DIR and builds the targets named. Configuring
# every time takes in new source files quietly.
#   scripts/lib/build-win.sh BUILD_DIR TARGET...
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
shift
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "$@" >/dev/null
