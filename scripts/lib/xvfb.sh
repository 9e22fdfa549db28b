# Sourced by the scripts: starts a private Xvfb when no display is set, and stops it by pid.
#   xvfb_start   sets DISPLAY and XVFB_PID (empty when a display was already there)
#   xvfb_stop    stops the Xvfb that xvfb_start started
#   wine_xvfb_stop  the same after ending the Wine processes of $WINEPREFIX, which hold the
#                display; nothing when xvfb_start found a display already there
# The server picks its own free display number and reports it once it listens, so scripts
# started side by side never share or steal a display.
XVFB_PID=

xvfb_start() {
  [ -n "${DISPLAY:-}" ] && return 0
  local report tries=0 number=
  report=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$report" >/dev/null 2>&1 &
  XVFB_PID=$!
  while [ $tries -lt 200 ] && kill -0 "$XVFB_PID" 2>/dev/null; do
    number=$(tr -dc '0-9' <"$report")
    [ -n "$number" ] && break
    sleep 0.05
    tries=$((tries + 1))
  done
  rm -f "$report"
  if [ -z "$number" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
    echo "xvfb: the virtual display did not start" >&2
    return 1
  fi
  export DISPLAY=":$number"
}

xvfb_stop() {
  [ -n "$XVFB_PID" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
  unset DISPLAY
}

wine_xvfb_stop() {
  [ -n "$XVFB_PID" ] || return 0
  wineserver -k >/dev/null 2>&1 || true
  xvfb_stop
}
