#!/usr/bin/env bash
# Builds what is missing and shows Uvantic Finder's window: the x64 build, or the x86 one.
#   scripts/run.sh [x64|x86]
# On Linux the program runs under Wine in a private prefix (build/run-prefix[-x64]) whose
# registry holds a few demonstration cables, one in each status. With an X display it
# runs until its window is closed; without one it runs under Xvfb, saves a screenshot
# of its window to build/screenshot.png, prints the path and closes the program.
# On Windows (Git Bash, MSYS2) the built program simply runs on the real registry.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
arch=${1:-x64}
source scripts/lib/arch.sh "$arch"
exe=$build/bin/UvanticFinder.exe

case "$(uname -s)" in
  MINGW* | MSYS* | CYGWIN*)
    [ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --target UvanticFinder >/dev/null
    exec "$exe"
    ;;
esac

scripts/install-deps.sh
export PATH=/usr/lib/wine:$PATH
scripts/lib/build-win.sh "$arch" UvanticFinder uvantic_seed uvantic_screenshot

prefix=$root/build/run-prefix$suffix
[ -e "$prefix/.template-ready" ] || scripts/lib/wine-template.sh "$prefix" "$wine_arch"
export WINEARCH=$wine_arch WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="

own_display=${DISPLAY:-}
source scripts/lib/display.sh
if [ -z "$own_display" ]; then
  # A server left from an earlier run may belong to an Xvfb that is gone.
  wineserver -k >/dev/null 2>&1 || true
fi

wine "$build/tests/e2e/uvantic_seed.exe" demo
if [ -n "$own_display" ]; then
  wine "$exe"
else
  shot=$root/build/screenshot.png
  wine "$build/tests/e2e/uvantic_screenshot.exe" "$root/$exe" "$shot"
  wineserver -w
  echo "$shot"
fi
