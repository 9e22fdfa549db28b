#!/usr/bin/env bash
# Runs the drive tests against real drives of known sizes: size-limited tmpfs mounts inside a
# private mount namespace, mapped to Wine drive letters of a prefix of their own (the shared
# prefix's wineserver lives outside the namespace and would not see the mounts).
# Usage: drive-space-test.sh PROGRAM.exe [ARGS...]   (MIRPAN_SOURCE_DIR, MIRPAN_BINARY_DIR set)
set -euo pipefail

if [ "${MIRPAN_DRIVE_NAMESPACE:-}" != 1 ]; then
  exec unshare --mount --propagation private env MIRPAN_DRIVE_NAMESPACE=1 "$0" "$@"
fi

program=$1
shift
scripts=$MIRPAN_SOURCE_DIR/scripts
prefix=$MIRPAN_BINARY_DIR/wineprefix-drives
export WINEPREFIX=$prefix WINEDEBUG=-all
. "$scripts/lib/wine.sh"
wine_use_build "$MIRPAN_BINARY_DIR"

"$scripts/wine-prefix" "$prefix"
# A wineserver left from an earlier run would resolve the drives outside this namespace.
wineserver -w

mounts=$(mktemp -d "$MIRPAN_BINARY_DIR/drive-mounts.XXXXXX")
cleanup() {
  wineserver -w || true
  rm -f "$prefix/dosdevices/m:" "$prefix/dosdevices/n:" "$prefix/dosdevices/o:"
  umount "$mounts/150" "$mounts/151" 2>/dev/null || true
  rm -rf "$mounts"
}
trap cleanup EXIT

mkdir "$mounts/150" "$mounts/151"
mount -t tmpfs -o size=150m tmpfs "$mounts/150"
mount -t tmpfs -o size=151m tmpfs "$mounts/151"
ln -sfn "$mounts/150" "$prefix/dosdevices/m:"
ln -sfn "$mounts/151" "$prefix/dosdevices/n:"
ln -sfn "$mounts/no-medium" "$prefix/dosdevices/o:"

MIRPAN_WINEPREFIX=$prefix "$scripts/wine-run" "$program" "$@"
