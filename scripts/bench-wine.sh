#!/usr/bin/env bash
# Builds the Windows benchmarks when needed and runs them under Wine in a throwaway
# prefix, printing their figures: the refresh pass next to the bare registry calls.
#   scripts/bench-wine.sh [BUILD_DIR]      (default build/win)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/win}
export PATH=/usr/lib/wine:$PATH

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$build" --target refresh_pass_bench -j"$(nproc)" >/dev/null
build=$(cd "$build" && pwd)  # Wine wants absolute prefix paths

# A template of its own, so that a test run rebuilding its template cannot pull this
# one away mid-copy.
template=$build/wine-template-bench
if [ ! -e "$template/.template-ready" ]; then
  echo "Creating a 32-bit Wine prefix in $template (about 15 s)" >&2
  scripts/lib/wine-template.sh "$template"
fi
# Other work on the machine shows in the figures.
echo "Load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
# A console program: no display needed.
env -u DISPLAY scripts/lib/wine-run.sh "$template" "$build/bench/wine/refresh_pass_bench.exe"
