# Sourced by the scripts: starts a private Xvfb when no display is set, and stops it by pid.
#   xvfb_start   sets DISPLAY and XVFB_PID (empty when a display was already there)
#   xvfb_stop    stops the Xvfb that xvfb_start started
XVFB_PID=

xvfb_start() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 91 189); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    local tries=0
    while [ ! -e "/tmp/.X11-unix/X$n" ] && kill -0 "$XVFB_PID" 2>/dev/null && [ $tries -lt 100 ]; do
      sleep 0.05
      tries=$((tries + 1))
    done
    if [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"
      return 0
    fi
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  done
  echo "xvfb: no free display" >&2
  return 1
}

xvfb_stop() {
  [ -n "$XVFB_PID" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
  unset DISPLAY
}
