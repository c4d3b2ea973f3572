# Sourced: gives the caller an X display, starting a private Xvfb when there is none.
# The Xvfb takes the first free display number itself (-displayfd), so that two runs
# started at the same moment (the x64 and x86 suites, say) never end up on one display.
# The Xvfb goes when the calling shell exits.
if [ -z "${DISPLAY:-}" ]; then
  uvantic_display_fifo=$(mktemp -u /tmp/uvantic-display.XXXXXX)
  mkfifo "$uvantic_display_fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$uvantic_display_fifo" >/dev/null 2>&1 &
  uvantic_xvfb_pid=$!
  trap 'kill $uvantic_xvfb_pid 2>/dev/null || true' EXIT
  # Written once the server takes connections.
  read -r uvantic_display <"$uvantic_display_fifo" || true
  rm -f "$uvantic_display_fifo"
  export DISPLAY=":$uvantic_display"
fi
