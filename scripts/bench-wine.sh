#!/usr/bin/env bash
# Builds the Windows benchmarks when needed and runs them under Wine in throwaway
# prefixes, printing their figures beside the bare registry calls of one pass,
# measured in the same run:
#  1. the refresh pass in one process: with the in-memory list, through the real
#     window's list view, and the window's start-up (wall time);
#  2. the real program at 16, 256 and 2,000 installed cables (16 of them plugged in):
#     CPU per idle tick, program plus wineserver, against the same for the bare calls;
#     start-up to all rows shown; at 2,000 the slowest answer to a window message.
#   scripts/bench-wine.sh [BUILD_DIR]      (default build/win)
# UVANTIC_PROGRAM=/path/to/UvanticFinder.exe measures another build of the program.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win}
export PATH=/usr/lib/wine:$PATH
sizes="16 256 2000"
probed_size=2000
startup_runs=5
bare_seconds=5
idle_seconds=10
probe_seconds=10

scripts/lib/build-win.sh "$build" refresh_pass_bench UvanticFinder uvantic_seed uvantic_startup
build=$(cd "$build" && pwd)  # Wine wants absolute prefix paths
bench=$build/bench/wine/refresh_pass_bench.exe
tools=$build/tests/e2e
program=${UVANTIC_PROGRAM:-$build/bin/UvanticFinder.exe}

# A template of its own, so that a test run rebuilding its template cannot pull this
# one away mid-copy.
template=$build/wine-template-bench
if [ ! -e "$template/.template-ready" ]; then
  echo "Creating a 32-bit Wine prefix in $template (about 15 s)" >&2
  scripts/lib/wine-template.sh "$template"
fi
source scripts/lib/display.sh  # the window needs a display
source scripts/lib/process-cpu.sh

# Other work on the machine shows in the figures.
echo "Load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== 1. In one process (wall time)"
scripts/lib/wine-run.sh "$template" "$bench"

echo
echo "== 2. The program ($program)"
prefix=$(mktemp -d /tmp/uvantic-bench.XXXXXX)
work=$prefix/bench-output
cleanup() {
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
  [ -z "${uvantic_xvfb_pid:-}" ] || kill "$uvantic_xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
cp -a "$template/." "$prefix/"
mkdir -p "$work"
export WINEARCH=win32 WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -p  # stays for the whole run, so its CPU time can be counted throughout
server=$(prefix_pid wineserver)
[ -n "$server" ] || { echo "cannot find the wineserver's process" >&2; exit 1; }
hz=$(getconf CLK_TCK)
TIMEFORMAT='%U %S'

printf '%9s %9s %9s %10s %7s %9s %9s %9s %9s\n' installed "bare ms" "bare CPU" "idle CPU" "vs bare" \
       "start ms" "start-B" "slowest" "limit"
for n in $sizes; do
  wine "$tools/uvantic_seed.exe" installed "$n"

  # The bare calls: the bench's own CPU (counted by the shell) and the wineserver's.
  s0=$(cpu_ticks "$server")
  { time wine "$bench" bare "$bare_seconds" >"$work/bare.txt" 2>/dev/null; } 2>"$work/bare-cpu.txt"
  s1=$(cpu_ticks "$server")
  instances=$(sed -n 's/.*: \([0-9]*\) instances.*/\1/p' "$work/bare.txt")
  [ "$instances" = "$n" ] || { echo "the bare calls found ${instances:-no} instances, not $n" >&2; exit 1; }
  passes=$(sed -n 's/.* \([0-9]*\) passes.*/\1/p' "$work/bare.txt")
  bare_ms=$(sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' "$work/bare.txt")
  bare_cpu=$(awk -v s=$((s1 - s0)) -v hz="$hz" -v n="$passes" '{ print ($1 + $2 + s / hz) * 1000 / n }' \
             "$work/bare-cpu.txt")

  wine "$tools/uvantic_startup.exe" "$program" "$startup_runs" "$n" >"$work/startup.txt"
  start_ms=$(sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' "$work/startup.txt")

  # Idle: the program running with all its rows, nobody touching it.
  wine "$program" >/dev/null 2>&1 &
  program_job=$!
  wine "$tools/uvantic_startup.exe" --probe 0 "$n"
  pid=$(prefix_pid "$(basename "$program")")
  [ -n "$pid" ] || { echo "cannot find the program's process" >&2; exit 1; }
  sleep 3  # past start-up
  p0=$(cpu_ticks "$pid"); s0=$(cpu_ticks "$server")
  sleep "$idle_seconds"
  p1=$(cpu_ticks "$pid"); s1=$(cpu_ticks "$server")
  idle_cpu=$(awk -v t=$((p1 - p0 + s1 - s0)) -v hz="$hz" -v n="$idle_seconds" 'BEGIN { print t * 1000 / hz / n }')
  slowest=-
  probe_line=""
  if [ "$n" = "$probed_size" ]; then
    wine "$tools/uvantic_startup.exe" --probe "$probe_seconds" "$n" >"$work/probe.txt"
    slowest=$(sed -n 's/.*slowest \([0-9.]*\) ms.*/\1/p' "$work/probe.txt")
    probe_line=$(cat "$work/probe.txt")
  fi
  kill "$pid" 2>/dev/null || true
  wait "$program_job" 2>/dev/null || true

  awk -v n="$n" -v bw="$bare_ms" -v bc="$bare_cpu" -v ic="$idle_cpu" -v st="$start_ms" -v sl="$slowest" 'BEGIN {
    limit = sl == "-" ? "-" : sprintf("%.0f", 1.5 * bw + 150)
    # A pass longer than the interval makes the ticks run back to back: the idle figure
    # is then a core busy all the time, not the cost of one tick.
    mark = ic >= 900 ? " (saturated)" : ""
    printf "%9d %9.1f %9.1f %10.1f %6.2fx %9.0f %9.0f %9s %9s%s\n", n, bw, bc, ic, ic / bc, st, st - bw, sl, limit, mark
  }'
  [ -z "$probe_line" ] || probes="$n cables: $probe_line"
done
echo "${probes:-}"
echo "bare: the registry calls of one pass (wall median; CPU of the calling process plus wineserver per pass)"
echo "idle CPU: program plus wineserver per second, one tick a second (saturated: a tick takes longer than"
echo "its second; read the in-process ratio instead); start: CreateProcess to the window"
echo "shown with all rows (median of $startup_runs); slowest: answer to WM_NULL while idle over ${probe_seconds} s;"
echo "limit: 1.5 x bare + 150 ms"
