#!/usr/bin/env bash
# Prints figures about the Windows program: start-up time under Wine with a warm
# prefix, CPU time per idle timer tick with 8 cables, how long a registry change takes
# to show in the window and in uvfind --watch, executable size and the DLLs it
# imports. Measurements only: nothing here passes or fails on a figure.
#   scripts/measure.sh [x64|x86]     (the build is made if missing; scripts/run.sh or
#                                    scripts/test.sh installs what it needs)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
arch=${1:-x64}
source scripts/lib/arch.sh "$arch"
exe=$root/$build/bin/UvanticFinder.exe
tools=$root/$build/tests/e2e
startup_runs=7
idle_seconds=20
latency_trials=40

export PATH=/usr/lib/wine:$PATH
if ! command -v wine >/dev/null || ! command -v "$objdump" >/dev/null; then
  echo "Wine or the mingw-w64 tools are missing: scripts/run.sh or scripts/test.sh installs them" >&2
  exit 1
fi
scripts/lib/build-win.sh "$arch" UvanticFinder uvfind uvantic_seed uvantic_startup uvantic_latency

prefix=$root/build/measure-prefix$suffix
[ -e "$prefix/.template-ready" ] || scripts/lib/wine-template.sh "$prefix" "$wine_arch"
export WINEARCH=$wine_arch WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
source scripts/lib/display.sh
wineserver -k >/dev/null 2>&1 || true

source scripts/lib/process-cpu.sh

echo "== Start-up (CreateProcess to window shown with 8 rows; warm prefix; $startup_runs runs)"
wine "$tools/uvantic_seed.exe" started 8
wine "$tools/uvantic_startup.exe" "$exe" 1 8 >/dev/null  # warms the prefix and the file cache
wine "$tools/uvantic_startup.exe" "$exe" "$startup_runs" 8

echo "== CPU per idle tick (8 cables, ${idle_seconds} s without input, one tick a second)"
wine "$exe" &
wine_pid=$!
program=""
for _ in $(seq 100); do
  program=$(prefix_pid 'UvanticFinder.exe')
  [ -n "$program" ] && break
  sleep 0.1
done
server=$(prefix_pid 'wineserver')
if [ -z "$program" ] || [ -z "$server" ]; then
  echo "cannot find the program's or the wineserver's process" >&2
  exit 1
fi
cpu=$(idle_cpu "$program" "$server" "$idle_seconds")
awk -v p="${cpu% *}" -v s="${cpu#* }" -v hz="$(getconf CLK_TCK)" -v n="$idle_seconds" 'BEGIN {
  printf "program:    %6.1f ms CPU in %d s = %.2f ms per tick\n", p, n, p / n
  printf "wineserver: %6.1f ms CPU in %d s = %.2f ms per tick\n", s, n, s / n
  printf "together:   %.2f ms per tick (%.2f%% of one core); clock tick resolution %.0f ms\n",
         (p + s) / n, (p + s) / 10 / n, 1000 / hz
}'
kill "$program" 2>/dev/null || true
wait "$wine_pid" 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true

echo "== Registry change to row shown, and to uvfind --watch's line in the same trials"
echo "   (1 cable installed or uninstalled at random moments between ticks)"
wine "$tools/uvantic_latency.exe" "$exe" "$latency_trials"
wineserver -k >/dev/null 2>&1 || true

echo "== Executable"
echo "size: $(stat -c %s "$exe") bytes ($exe)"
imports=$("$objdump" -p "$exe" | awk '/DLL Name:/ { print $3 }')
echo "imports: $(echo $imports)"
# DLLs that every Windows from 7 onwards ships in its system directory.
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll shell32.dll msimg32.dll
  uxtheme.dll msvcrt.dll ole32.dll oleaut32.dll shlwapi.dll comdlg32.dll version.dll "
others=""
for dll in $imports; do
  lower=$(echo "$dll" | tr 'A-Z' 'a-z')
  [[ "$system_dlls" == *" $lower"[[:space:]]* ]] || others="$others $dll"
done
if [ -z "$others" ]; then
  echo "only Windows system DLLs: yes"
else
  echo "only Windows system DLLs: no (also$others)"
fi
