#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows build, and runs every
# test: unit tests natively, again under ASan and UBSan with the fuzzer's corpus
# replayed and a short fuzzing run, then platform and end-to-end tests under Wine
# and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh
export PATH=/usr/lib/wine:$PATH

jobs=$(nproc)
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j"$jobs" >/dev/null
cmake -S . -B build/win -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build build/win -j"$jobs" >/dev/null

ctest --test-dir build/native --output-on-failure -j"$jobs"

CC=clang-14 CXX=clang++-14 cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DUVANTIC_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j"$jobs" >/dev/null
ctest --test-dir build/sanitize --output-on-failure -j"$jobs"
scripts/fuzz.sh 30

source scripts/lib/display.sh
ctest --test-dir build/win --output-on-failure
