#!/usr/bin/env bash
# The program ships without debug sections and names the file beside it that keeps them; it is
# a GUI program of the tree's format (pei-i386: PE32, pei-x86-64: PE32+) that imports only
# these DLLs, all KnownDLLs: any other import the loader would take from the program's folder.
# Usage: shipped-program-test.sh OBJDUMP PROGRAM.exe FORMAT
set -u
objdump=$1 program=$2 format=$3
imports="advapi32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll user32.dll"
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
headers=$("$objdump" -p "$program")
grep -q "file format $format\$" <<<"$headers" || { echo "FAIL $program is not $format"; status=1; }
grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" || { echo "FAIL $program is no GUI program"; status=1; }
imported=$(awk '/DLL Name:/ { print tolower($3) }' <<<"$headers" | sort | xargs)
[ "$imported" = "$imports" ] || { echo "FAIL $program imports $imported, not $imports"; status=1; }
[ "$status" -eq 0 ] && echo "$program ships stripped, its symbols in $symbols"
exit $status
