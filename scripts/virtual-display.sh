# Sourced by the run scripts: starts Xvfb when no display is set, and stops
# the one it started.
LOXA_XVFB_PID=
start_virtual_display() {
  if [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  local n
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      LOXA_XVFB_PID=$!
      export DISPLAY=":$n"
      for _ in $(seq 300); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.1
      done
      echo "Xvfb did not start on :$n" >&2
      return 1
    fi
  done
  echo "no free display number" >&2
  return 1
}
stop_virtual_display() {
  if [ -n "$LOXA_XVFB_PID" ]; then
    kill "$LOXA_XVFB_PID" 2>/dev/null || true
    wait "$LOXA_XVFB_PID" 2>/dev/null || true
    unset DISPLAY
  fi
}
