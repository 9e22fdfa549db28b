#!/usr/bin/env bash
# Runs an installation test program with a Wine drive letter mapped to an empty scratch folder,
# in a prefix of its own (MIRPAN_SCRATCH_PREFIX, a name in the build tree, else
# wineprefix-install): the tests write the product's registry keys, links and wallpaper.
# Usage: scratch-drive-test.sh LETTER PROGRAM.exe [ARGS...]  (MIRPAN_SOURCE_DIR, MIRPAN_BINARY_DIR)
set -euo pipefail
letter=$1
shift
# Wine looks drives up by their lower-case names.
device=$(echo "$letter" | tr "[:upper:]" "[:lower:]"):
scripts=$MIRPAN_SOURCE_DIR/scripts
prefix=$MIRPAN_BINARY_DIR/${MIRPAN_SCRATCH_PREFIX:-wineprefix-install}
"$scripts/wine-prefix" "$prefix"

scratch=$(mktemp -d "$MIRPAN_BINARY_DIR/install-drive.XXXXXX")
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    # The prefix's processes hold our display; end them before the display goes.
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -f "$prefix/dosdevices/$device"
  rm -rf "$scratch"
}
trap cleanup EXIT

# A display of our own, its number chosen by the server itself: test programs started side by
# side must never share one, or the first to finish takes the other's windows with it.
if [ -z "${DISPLAY:-}" ]; then
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$scratch.display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$scratch.display" ] && break
    sleep 0.05
  done
  export DISPLAY=:$(cat "$scratch.display")
  rm -f "$scratch.display"
fi
ln -sfn "$scratch" "$prefix/dosdevices/$device"

# Links the tests save must not become menu entries of the Unix desktop.
MIRPAN_WINEPREFIX=$prefix MIRPAN_SCRATCH_DRIVE=$letter \
  WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=" "$scripts/wine-run" "$@"
