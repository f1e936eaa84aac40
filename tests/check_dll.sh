#!/bin/sh
# The Windows module: a 32-bit x86 PE DLL whose export table holds exactly _mod_descrip and
# which needs only system DLLs (KERNEL32, msvcrt, OPENGL32).
set -eu
dll="$1"
objdump=i686-w64-mingw32-objdump
fail() { echo "$dll: $*" >&2; exit 1; }

$objdump -f "$dll" | grep -q 'file format pei-i386' || fail "not a PE file for i386"
$objdump -f "$dll" | grep -q 'architecture: i386' || fail "machine type is not i386"
$objdump -p "$dll" | grep -q 'Magic.*(PE32)' || fail "not a 32-bit PE image"

exports=$($objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -v 'Table' | grep -E '^\s*\[' | awk '{print $NF}')
[ "$exports" = "_mod_descrip" ] || fail "exports: $exports"

imports=$($objdump -p "$dll" | awk '/DLL Name:/ {print toupper($3)}' | sort | tr '\n' ' ')
[ "$imports" = "KERNEL32.DLL MSVCRT.DLL OPENGL32.DLL " ] || fail "imports: $imports"
echo "$dll: PE32 i386, exports _mod_descrip only, imports $imports"
