#!/usr/bin/env bash
# The program ships without debug sections and names the file beside it that keeps them.
# Usage: shipped-program-test.sh OBJDUMP PROGRAM.exe
set -u
objdump=$1 program=$2
symbols=${program%.*}.debug
sections() { "$objdump" -h "$1" | awk '$2 ~ /^\./ { print $2 }'; }
shipped=$(sections "$program")
status=0
if grep -q '^\.debug_' <<<"$shipped"; then
  echo "FAIL $program carries debug sections"; status=1
fi
grep -qx '\.gnu_debuglink' <<<"$shipped" || { echo "FAIL $program names no symbol file"; status=1; }
if [ ! -f "$symbols" ]; then
  echo "FAIL no $symbols beside it"; status=1
elif ! grep -qx '\.debug_info' <<<"$(sections "$symbols")"; then
  echo "FAIL $symbols holds no debug information"; status=1
fi
[ "$status" -eq 0 ] && echo "$program ships stripped, its symbols in $symbols"
exit $status
