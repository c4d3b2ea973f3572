#!/usr/bin/env bash
# Configures the Windows build of ARCH (x86 or x64: build/win or build/win-x64) and builds
# the targets named.
#   scripts/lib/build-win.sh ARCH TARGET...
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/arch.sh" "$1"
shift
cmake -S "$root" -B "$root/$build" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/$toolchain" >/dev/null
cmake --build "$root/$build" -j"$(nproc)" --target "$@" >/dev/null
