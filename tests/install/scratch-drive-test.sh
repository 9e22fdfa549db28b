#!/usr/bin/env bash
# Runs an installation test program with a Wine drive letter mapped to an empty scratch folder,
# in a prefix of its own (MIRPAN_SCRATCH_PREFIX, a name in the build tree, else
# wineprefix-install): the tests write the product's registry keys, links and wallpaper.
# Usage: scratch-drive-test.sh LETTER PROGRAM.exe [ARGS...]  (MIRPAN_SOURCE_DIR, MIRPAN_BINARY_DIR)
# With MIRPAN_SMALL_DRIVE=LETTER a second drive of 100 MB (a tmpfs in a private mount namespace)
# is mapped as well, for the refusal of a drive without room.
set -euo pipefail
if [ -n "${MIRPAN_SMALL_DRIVE:-}" ] && [ "${MIRPAN_SCRATCH_NAMESPACE:-}" != 1 ]; then
  exec unshare --mount --propagation private env MIRPAN_SCRATCH_NAMESPACE=1 "$0" "$@"
fi
letter=$1
shift
# Wine looks drives up by their lower-case names.
device=$(echo "$letter" | tr "[:upper:]" "[:lower:]"):
scripts=$MIRPAN_SOURCE_DIR/scripts
prefix=$MIRPAN_BINARY_DIR/${MIRPAN_SCRATCH_PREFIX:-wineprefix-install}
. "$scripts/lib/wine.sh"
wine_use_build "$MIRPAN_BINARY_DIR"
"$scripts/wine-prefix" "$prefix"

scratch=$(mktemp -d "$MIRPAN_BINARY_DIR/install-drive.XXXXXX")
. "$scripts/lib/xvfb.sh"
cleanup() {
  xvfb_stop_after_wine "$prefix"
  rm -f "$prefix/dosdevices/$device"
  if [ -n "${small:-}" ]; then
    rm -f "$prefix/dosdevices/$small_device"
    umount "$small" 2>/dev/null || true
    rmdir "$small" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

# A display of our own when none is set, its number chosen by the server itself: test programs
# started side by side must never share one, or the first to finish takes the other's windows
# with it; programs of this same prefix wait for one another (see xvfb_start).
xvfb_start "$prefix"
ln -sfn "$scratch" "$prefix/dosdevices/$device"
if [ -n "${MIRPAN_SMALL_DRIVE:-}" ]; then
  # A wineserver from outside this namespace would not see the mount.
  WINEPREFIX=$prefix wineserver -w
  small=$scratch-small
  small_device=$(echo "$MIRPAN_SMALL_DRIVE" | tr "[:upper:]" "[:lower:]"):
  mkdir "$small"
  mount -t tmpfs -o size=100m tmpfs "$small"
  ln -sfn "$small" "$prefix/dosdevices/$small_device"
fi

# Links the tests save must not become menu entries of the Unix desktop.
MIRPAN_WINEPREFIX=$prefix MIRPAN_SCRATCH_DRIVE=$letter \
  WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=" "$scripts/wine-run" "$@"
