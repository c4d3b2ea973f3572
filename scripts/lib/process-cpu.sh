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
