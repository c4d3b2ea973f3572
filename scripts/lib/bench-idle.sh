#!/usr/bin/env bash
# The notifier and uvfind --watch at rest: passes and registry calls per idle minute at
# 1 and 200 installed cables, counted from Wine's registry trace, and the time from a
# registry change to the notifier's pass. With UVANTIC_BEFORE, an earlier build is
# measured in the same run, each figure beside this build's. Run by
# "scripts/bench-wine.sh ARCH idle", which builds what it needs:
#   bench-idle.sh BUILD TEMPLATE
# UVANTIC_BEFORE=DIR        the folder of an earlier build's UvanticNotifier.exe and
#                           uvfind.exe (main's build/win-x64/bin, say)
# UVANTIC_IDLE_SECONDS=65   the idle window; a pass a minute needs a window of a minute
#                           or more to be seen at all
set -euo pipefail
build=$1
template=$2
seconds=${UVANTIC_IDLE_SECONDS:-65}
warmup=5
trials=20
tools=$build/tests/e2e
names=(after)
dirs=("$build/bin")
if [ -n "${UVANTIC_BEFORE:-}" ]; then
  names=(before after)
  dirs=("$(cd "$UVANTIC_BEFORE" && pwd)" "$build/bin")
fi

prefix=$(mktemp -d /tmp/uvantic-idle.XXXXXX)
cleanup() { WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"; }
trap cleanup EXIT
cp -a "$template/." "$prefix/"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEARCH
source scripts/lib/process-cpu.sh
source scripts/lib/figures.sh

# A registry call is one of ntdll's registry calls in the +reg trace (each a round trip
# to the wineserver), or RegEnumKeyExW or RegQueryInfoKeyW, whose ntdll calls Wine does
# not trace; closing a key is not counted. A pass opens the USB key for reading once.
calls() { sed -n "$2,$3p" "$1" | grep -cE 'trace:reg:(Nt[A-Za-z]+ \(|RegEnumKeyExW|RegQueryInfoKeyW)' || true; }
passes() { sed -n "$2,$3p" "$1" | grep -c 'NtOpenKeyEx (0x[0-9a-f]*,L"SYSTEM\\\\CurrentControlSet\\\\Enum\\\\USB",20019' || true; }
lines() { wc -l <"$1"; }
per_minute() { awk -v c="$1" -v s="$seconds" 'BEGIN { printf "%.1f", c * 60 / s }'; }

declare -A figure_of
for n in 1 200; do
  wine "$tools/uvantic_seed.exe" installed "$n"
  for i in "${!names[@]}"; do
    dir=${dirs[$i]}
    notifier_trace=$prefix/notifier.trace
    watch_trace=$prefix/watch.trace
    WINEDEBUG=+reg wine "$dir/UvanticNotifier.exe" 2>"$notifier_trace" &
    WINEDEBUG=+reg wine "$dir/uvfind.exe" --watch >/dev/null 2>"$watch_trace" &
    sleep "$warmup"
    n0=$(lines "$notifier_trace") w0=$(lines "$watch_trace")
    sleep "$seconds"
    n1=$(lines "$notifier_trace") w1=$(lines "$watch_trace")
    for program in UvanticNotifier.exe uvfind.exe; do
      pid=$(prefix_pid "$program")
      [ -z "$pid" ] || kill "$pid"
    done
    wait 2>/dev/null || true
    key="$n ${names[$i]}"
    figure_of["$key notifier passes"]=$(per_minute "$(passes "$notifier_trace" "$n0" "$n1")")
    figure_of["$key notifier calls"]=$(per_minute "$(calls "$notifier_trace" "$n0" "$n1")")
    figure_of["$key watch passes"]=$(per_minute "$(passes "$watch_trace" "$w0" "$w1")")
    figure_of["$key watch calls"]=$(per_minute "$(calls "$watch_trace" "$w0" "$w1")")
  done
done

for i in "${!names[@]}"; do
  wine "$tools/uvantic_latency.exe" --notifier "${dirs[$i]}/UvanticNotifier.exe" "$trials" >"$prefix/latency.txt"
  for kind in installed uninstalled; do
    figure_of["${names[$i]} $kind median"]=$(figure "$prefix/latency.txt" "notifier_${kind}_median_ms")
    figure_of["${names[$i]} $kind worst"]=$(figure "$prefix/latency.txt" "notifier_${kind}_worst_ms")
  done
done

echo "Idle cost over ${seconds} s after a ${warmup}-s start, per minute (one pass a minute shows only in a window of 60 s or more)"
printf '%7s %-15s' cables program
for name in "${names[@]}"; do printf ' %14s' "passes $name"; done
for name in "${names[@]}"; do printf ' %14s' "calls $name"; done
echo
for n in 1 200; do
  for program in notifier watch; do
    printf '%7s %-15s' "$n" "$([ "$program" = watch ] && echo "uvfind --watch" || echo notifier)"
    for name in "${names[@]}"; do printf ' %14s' "${figure_of["$n $name $program passes"]}"; done
    for name in "${names[@]}"; do printf ' %14s' "${figure_of["$n $name $program calls"]}"; done
    echo
  done
done
echo
echo "A registry change to the notifier's pass (median, worst of $((trials / 2)) trials each; installed: to the"
echo "notification call, made in the same pass right after the tooltip; uninstalled: to the tooltip, the"
echo "notification follows once the cable has held still for 300 ms)"
for name in "${names[@]}"; do
  printf '%-7s installed %6s ms (worst %6s), uninstalled %6s ms (worst %6s)\n' "$name" \
         "${figure_of["$name installed median"]}" "${figure_of["$name installed worst"]}" \
         "${figure_of["$name uninstalled median"]}" "${figure_of["$name uninstalled worst"]}"
done
