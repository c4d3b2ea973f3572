#!/usr/bin/env bash
# Fuzzes the refresh pass for the given number of seconds (default 60), starting from
# the committed corpus. New inputs are kept in build/fuzz-corpus; an input that breaks
# the pass is written to build/fuzz-crashes/ and ends the run with a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

scripts/install-deps.sh
CC=clang-14 CXX=clang++-14 cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DUVANTIC_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j"$(nproc)" --target uvantic_refresh_fuzzer >/dev/null

mkdir -p build/fuzz-corpus build/fuzz-crashes
log=build/fuzz.log
if ! build/sanitize/tests/fuzz/uvantic_refresh_fuzzer -max_total_time="$seconds" -max_len=2048 -timeout=10 \
       -print_final_stats=1 -artifact_prefix=build/fuzz-crashes/ \
       build/fuzz-corpus tests/fuzz/corpus >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "fuzzing failed; the input is in build/fuzz-crashes/, the whole output in $log" >&2
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
grep -E 'DONE' "$log" || true
