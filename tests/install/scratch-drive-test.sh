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
cleanup() {
  rm -f "$prefix/dosdevices/$device"
  rm -rf "$scratch"
}
trap cleanup EXIT
ln -sfn "$scratch" "$prefix/dosdevices/$device"

# Links the tests save must not become menu entries of the Unix desktop.
MIRPAN_WINEPREFIX=$prefix MIRPAN_SCRATCH_DRIVE=$letter \
  WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=" "$scripts/wine-run" "$@"
