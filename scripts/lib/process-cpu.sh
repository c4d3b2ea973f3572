# Sourced: CPU time of the Unix processes behind a Wine prefix, which Wine itself
# does not report for other processes. Uses $prefix, the prefix's directory.

# The Unix process of a program running in this prefix, by its name.
prefix_pid() {
  local name=$1 pid
  for pid in $(pgrep -f "$name" || true); do
    if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$prefix"; then
      echo "$pid"
      return
    fi
  done
}

# User plus system CPU time of a process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# idle_cpu PROGRAM_PID SERVER_PID SECONDS: waits 3 s for the program's start-up to pass,
# then prints the ms of CPU that the program and the wineserver each use in SECONDS
# seconds: "PROGRAM_MS SERVER_MS".
idle_cpu() {
  local program=$1 server=$2 seconds=$3 hz p0 s0 p1 s1
  hz=$(getconf CLK_TCK)
  sleep 3
  p0=$(cpu_ticks "$program"); s0=$(cpu_ticks "$server")
  sleep "$seconds"
  p1=$(cpu_ticks "$program"); s1=$(cpu_ticks "$server")
  awk -v p=$((p1 - p0)) -v s=$((s1 - s0)) -v hz="$hz" 'BEGIN { printf "%.1f %.1f\n", p * 1000 / hz, s * 1000 / hz }'
}
