# Sourced: gives the caller an X display, starting a private Xvfb when there is none.
# The Xvfb goes when the calling shell exits.
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  uvantic_xvfb_pid=$!
  trap 'kill $uvantic_xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi
