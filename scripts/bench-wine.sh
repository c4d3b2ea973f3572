#!/usr/bin/env bash
# Builds the Windows benchmarks when needed and runs them under Wine in throwaway
# prefixes, printing their figures beside the bare registry calls of one pass,
# measured in the same run:
#  1. the refresh pass in one process: with the in-memory list, through the real
#     window's list view, and the window's start-up (wall time);
#  2. the real program at 16, 256 and 2,000 installed cables (16 of them plugged in):
#     CPU per idle tick, program plus wineserver, against the same for the bare calls
#     (the ticks' spacing read from the window's answers, the process's start left out);
#     start-up to all rows shown, also less an empty window program's start, and when
#     the first refresh pass after it began; at 2,000 the slowest answer to a window
#     message and the shortest stretch between two passes in which the window was free.
#   scripts/bench-wine.sh [x64|x86]
# UVANTIC_PROGRAM=/path/to/UvanticFinder.exe measures another build of the program.
#   scripts/bench-wine.sh [x64|x86] idle
# measures instead the notifier and uvfind --watch at rest, and a change to the
# notifier's pass, beside an earlier build given as UVANTIC_BEFORE=DIR (about 6 minutes;
# see scripts/lib/bench-idle.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${1:-x64}
mode=${2:-all}
source scripts/lib/arch.sh "$arch"
export PATH=/usr/lib/wine:$PATH
sizes="16 256 2000"
probed_size=2000
startup_runs=7
bare_seconds=5
idle_seconds=10
probe_seconds=10

scripts/lib/build-win.sh "$arch" refresh_pass_bench empty_window UvanticFinder UvanticNotifier uvfind uvantic_seed \
  uvantic_startup uvantic_latency
build=$(cd "$build" && pwd)  # Wine wants absolute prefix paths
bench=$build/bench/wine/refresh_pass_bench.exe
tools=$build/tests/e2e
program=${UVANTIC_PROGRAM:-$build/bin/UvanticFinder.exe}

# A template of its own, so that a test run rebuilding its template cannot pull this
# one away mid-copy.
template=$build/wine-template-bench
if [ ! -e "$template/.template-ready" ]; then
  echo "Creating a $wine_arch Wine prefix in $template (about 15 s)" >&2
  scripts/lib/wine-template.sh "$template" "$wine_arch"
fi
source scripts/lib/display.sh  # the window needs a display
if [ "$mode" = idle ]; then
  trap 'kill ${uvantic_xvfb_pid:-} 2>/dev/null || true' EXIT
  scripts/lib/bench-idle.sh "$build" "$template"
  exit
fi
source scripts/lib/process-cpu.sh
source scripts/lib/figures.sh

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
export WINEARCH=$wine_arch WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -p  # stays for the whole run, so its CPU time can be counted throughout
server=$(prefix_pid wineserver)
[ -n "$server" ] || { echo "cannot find the wineserver's process" >&2; exit 1; }
# Every registry call is a round trip to the wineserver. On a virtual machine a round
# trip between two processors costs about ten times one on a single processor, and the
# scheduler puts the two together or apart as it likes, so a pass took anything from
# 0.3 s to 3.5 s from one minute to the next. The wineserver gets the first processor
# and every program the others: each figure is then taken in the slow case, always.
if [ "$(nproc)" -gt 1 ]; then
  taskset -p -c 0 "$server" >/dev/null
  client_cpus=1-$(($(nproc) - 1))
  wine() { taskset -c "$client_cpus" /usr/lib/wine/wine "$@"; }
  echo "The wineserver runs on processor 0, the programs on processors $client_cpus."
fi
hz=$(getconf CLK_TCK)

# Runs the bare calls for about $1 seconds (one pass for 0, at least three otherwise).
# Sets bare_ms (the median pass), run_passes and run_cpu: seconds of CPU of the
# bench's process, as it reports it, and of the wineserver.
bare_run() {
  local s0 s1 instances own
  s0=$(cpu_ticks "$server")
  wine "$bench" bare "$1" >"$work/bare.txt" 2>/dev/null
  s1=$(cpu_ticks "$server")
  instances=$(figure "$work/bare.txt" bare_instances)
  [ "$instances" = "$n" ] || { echo "the bare calls found $instances instances, not $n" >&2; exit 1; }
  run_passes=$(figure "$work/bare.txt" bare_passes)
  bare_ms=$(figure "$work/bare.txt" bare_median_ms)
  own=$(figure "$work/bare.txt" process_cpu_ms)
  run_cpu=$(awk -v o="$own" -v s=$((s1 - s0)) -v hz="$hz" 'BEGIN { print o / 1000 + s / hz }')
}

# The median of the numbers on standard input, one a line; "none" for none.
median() {
  sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "none"; else print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

# What any window program pays to start here, registry or not.
wine "$tools/uvantic_startup.exe" "$build/bench/wine/empty_window.exe" "$startup_runs" 0 \
  >"$work/empty.txt"
empty_ms=$(figure "$work/empty.txt" startup_median_ms)
echo "An empty window program starts in $empty_ms ms (median of $startup_runs)."
printf '%9s %9s %9s %8s %9s %7s %9s %9s %9s %9s %9s %9s %9s\n' installed "bare ms" "bare CPU" "tick ms" \
       "tick CPU" "vs bare" "start ms" "start-B" "own" "1st pass" "slowest" "limit" "free"
for n in $sizes; do
  wine "$tools/uvantic_seed.exe" installed "$n"

  # The bare calls, twice: one pass, then several. The CPU of the extra passes is what
  # a pass costs, without the cost of starting a process under Wine.
  bare_run 0
  one_cpu=$run_cpu one_passes=$run_passes
  bare_run "$bare_seconds"
  long_bare_ms=$bare_ms
  bare_cpu=$(awk -v a="$one_cpu" -v b="$run_cpu" -v n=$((run_passes - one_passes)) \
             'BEGIN { print (b - a) * 1000 / n }')

  # Passes too short to tell from other delays are not looked for.
  busy_ms=$(awk -v b="$bare_ms" 'BEGIN { printf "%.0f", b / 2 }')
  busy_arg=""
  [ "$busy_ms" -lt 10 ] || busy_arg=$busy_ms
  # Each start is paired with one bare pass in a fresh process just before it: Wine's
  # registry has slow periods lasting seconds, in which a pass takes a third longer, and
  # a start timed minutes after the bare passes would be compared with another period.
  : >"$work/starts.txt"
  for _ in $(seq "$startup_runs"); do
    bare_run 0
    wine "$tools/uvantic_startup.exe" "$program" 1 "$n" $busy_arg >"$work/startup.txt"
    one_start=$(figure "$work/startup.txt" startup_median_ms)
    one_first=-
    [ -z "$busy_arg" ] || one_first=$(figure "$work/startup.txt" first_pass_median_ms)
    echo "$bare_ms $one_start ${one_first/none/-}" >>"$work/starts.txt"
  done
  # Medians of the starts, of each start less its bare pass, and of the first passes seen.
  start_ms=$(awk '{ print $2 }' "$work/starts.txt" | median)
  start_less_bare=$(awk '{ print $2 - $1 }' "$work/starts.txt" | median)
  first_pass=$(awk '$3 != "-" { print $3 }' "$work/starts.txt" | median)
  bare_ms=$long_bare_ms

  # Idle: the program running with all its rows, nobody touching it.
  wine "$program" >/dev/null 2>&1 &
  program_job=$!
  wine "$tools/uvantic_startup.exe" --probe 0 "$n"
  pid=$(prefix_pid "$(basename "$program")")
  [ -n "$pid" ] || { echo "cannot find the program's process" >&2; exit 1; }
  cpu=$(idle_cpu "$pid" "$server" "$idle_seconds")
  idle_cpu=$(awk -v p="${cpu% *}" -v s="${cpu#* }" -v n="$idle_seconds" 'BEGIN { print (p + s) / n }')

  # How far apart the ticks are: a pass that takes longer than the interval delays
  # the next tick, and the CPU of a second then understates a tick's. A message sent
  # while a pass runs waits for it, so the long answers mark the passes. Passes too
  # short to tell from other delays are taken to come once a second.
  tick_ms=1000
  slowest=-
  free=-
  probe_line=""
  if [ "$busy_ms" -ge 10 ] || [ "$n" = "$probed_size" ]; then
    wine "$tools/uvantic_startup.exe" --probe "$probe_seconds" "$n" "$busy_ms" >"$work/probe.txt"
    gap=0
    [ "$busy_ms" = 0 ] || gap=$(figure "$work/probe.txt" busy_spacing_ms)
    [ "$busy_ms" -lt 10 ] || [ "$gap" = 0 ] || tick_ms=$gap
    if [ "$n" = "$probed_size" ]; then
      slowest=$(figure "$work/probe.txt" answer_slowest_ms)
      [ "$busy_ms" = 0 ] || free=$(figure "$work/probe.txt" free_shortest_ms)
      free=${free/none/-}
      probe_line=$(grep -v = "$work/probe.txt")
    fi
  fi
  kill "$pid" 2>/dev/null || true
  wait "$program_job" 2>/dev/null || true

  awk -v n="$n" -v bw="$bare_ms" -v bc="$bare_cpu" -v ic="$idle_cpu" -v tk="$tick_ms" -v st="$start_ms" \
      -v sb="$start_less_bare" -v em="$empty_ms" -v sl="$slowest" -v fp="${first_pass:--}" -v fr="${free:--}" 'BEGIN {
    limit = sl == "-" ? "-" : sprintf("%.0f", 1.5 * bw + 150)
    tc = ic * tk / 1000
    printf "%9d %9.1f %9.1f %8.0f %9.1f %6.2fx %9.0f %9.0f %9.0f %9s %9s %9s %9s\n", n, bw, bc, tk, tc, tc / bc, st,
           sb, sb - em, fp, sl, limit, fr
  }'
  [ -z "$probe_line" ] || probes="$n cables: $probe_line"
done
echo "${probes:-}"
echo
echo "bare: the registry calls of one pass (wall median; CPU of the calling process plus wineserver per pass,"
echo "without the start of the process)"
echo "tick ms: from one idle tick to the next; tick CPU: program plus wineserver per idle tick (their CPU"
echo "per second over ${idle_seconds} s, times the ticks' spacing); start: CreateProcess to the window"
echo "shown with all rows (median of $startup_runs); start-B: each start less one bare pass in a fresh process"
echo "just before it (median); own: start-B less the empty window program's start; 1st pass: from the"
echo "rows shown until the next pass began (median; - for passes too short to see); slowest: answer to WM_NULL while idle over ${probe_seconds} s; limit: 1.5 x bare + 150 ms;"
echo "free: the shortest stretch between two passes in which the window answered at once"
