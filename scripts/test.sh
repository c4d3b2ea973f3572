#!/usr/bin/env bash
# Installs what is missing, builds the native build and both Windows builds, and runs every
# test: unit tests natively, again under ASan and UBSan with the fuzzer's corpus replayed and
# a short fuzzing run, then platform and end-to-end tests under Wine and Xvfb: all of them for
# x64 in a 64-bit prefix (among them the release, signed with a throwaway certificate), and
# for x86 in a 32-bit one the platform tests, the main scenarios and the installer, and in a
# 64-bit one the property sheet as a 32-bit program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export PATH=/usr/lib/wine:$PATH

jobs=$(nproc)
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j"$jobs" >/dev/null
for arch in x64 x86; do
  scripts/lib/build-win.sh "$arch" all
done

ctest --test-dir build/native --output-on-failure -j"$jobs"

CC=clang-14 CXX=clang++-14 cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DUVANTIC_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j"$jobs" >/dev/null
ctest --test-dir build/sanitize --output-on-failure -j"$jobs"
scripts/fuzz.sh 30

# The two Windows suites run side by side, each on an X display of its own, since most of
# their time is spent waiting on Wine rather than computing. The x86 one writes its output
# to a file that is shown once both have ended.
source scripts/lib/display.sh
x86_log=build/win/wine-tests.log
# Three of x64's longest entries, which need nothing of the others but the prefix template,
# run in the x86 lane once its own tests are done, so that the two lanes end together.
x64_in_x86_lane='^(release|installer|soak_one_minute)$'
(
  unset DISPLAY
  source scripts/lib/display.sh
  # Both Wine suites in full take nine minutes, so only x64, which most users run, runs in
  # full. On x86 the main scenarios run: the first start, the rows in every status, live
  # changes, the property sheet (also on 64-bit Windows), uvfind, the notifier, and the
  # notifier and help in other languages.
  status=0
  ctest --test-dir build/win --output-on-failure \
        -R '^(winreg_.*|commands_platform|resources|window_.*|e2e_(first_start|rows|live_refresh|properties|properties_wow64|uvfind|notifier|notifier_languages|help_languages)|installer)$' \
        || status=$?
  # The x64 lane made the template long before; making it again here would pull it away
  # from under that lane's tests.
  ctest --test-dir build/win-x64 --output-on-failure -R "$x64_in_x86_lane" -FS wine_prefix || status=$?
  exit "$status"
) >"$x86_log" 2>&1 &
x86_suite=$!
x64_status=0
ctest --test-dir build/win-x64 --output-on-failure -E "$x64_in_x86_lane" || x64_status=$?
x86_status=0
wait "$x86_suite" || x86_status=$?
cat "$x86_log"
[ "$x64_status" -eq 0 ] && [ "$x86_status" -eq 0 ]
