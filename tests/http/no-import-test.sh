#!/usr/bin/env bash
# No program names the DLL in its import table; it is to be loaded by name at run time.
# Usage: no-import-test.sh OBJDUMP DLL PROGRAM...
set -uo pipefail
objdump=$1 dll=$2
shift 2
status=0
for program in "$@"; do
  if [ ! -f "$program" ]; then
    echo "$program missing"; status=1
  elif grep -qi "DLL Name: $dll" <<<"$("$objdump" -p "$program")"; then
    echo "$program imports $dll"; status=1
  fi
done
exit $status
