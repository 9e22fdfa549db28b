# Sourced by the scripts: starts a private Xvfb when no display is set, and stops it by pid.
#   xvfb_start [PREFIX]         sets DISPLAY and XVFB_PID (empty when a display was already
#                               there); with PREFIX, a run that must start its own server
#                               first waits until no other such run uses that Wine prefix
#   xvfb_stop                   stops the Xvfb that xvfb_start started
#   xvfb_stop_after_wine [PREFIX...]
#                               when xvfb_start started an Xvfb: ends the processes of these
#                               Wine prefixes (of WINEPREFIX when none is given), which hold
#                               the display, then stops it; a display that was already there
#                               is left alone with the programs on it
# The server picks its own free display number and reports it once it listens, so scripts
# started side by side never share or steal a display.
XVFB_PID=

xvfb_start() {
  [ -n "${DISPLAY:-}" ] && return 0
  local report tries=0 number= lock=
  if [ -n "${1:-}" ]; then
    # Runs of one prefix on displays of their own cannot overlap: the prefix's desktop
    # process lives on the display of the run that started it, and each run ends by ending
    # the prefix's processes before its display goes. The lock is held until this shell exits.
    mkdir -p "$(dirname "$1")"
    exec {lock}>"$1.xvfb-lock"
    flock "$lock"
  fi
  report=$(mktemp)
  # Without the lock: an Xvfb left behind by a run that was killed must not hold it forever.
  if [ -n "$lock" ]; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$report" {lock}>&- >/dev/null 2>&1 &
  else
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$report" >/dev/null 2>&1 &
  fi
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

xvfb_stop_after_wine() {
  [ -n "$XVFB_PID" ] || return 0
  local prefix
  [ $# -gt 0 ] || set -- "${WINEPREFIX:-}"
  for prefix in "$@"; do
    [ -n "$prefix" ] && [ -d "$prefix" ] || continue
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  done
  xvfb_stop
}
