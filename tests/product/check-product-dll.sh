#!/bin/bash
# The shipped add-in is a 32-bit PE DLL with its exports at fixed ordinals and
# its string table, type library and version record inside.
set -euo pipefail
dll=$1
objdump=i686-w64-mingw32-objdump
fail() { echo "FAIL: $*"; exit 1; }

[[ -f "$dll" ]] || fail "no product DLL at $dll"
[[ "$(basename "$dll")" == "VantikToolSX.DLL" ]] || fail "file name is $(basename "$dll")"
header=$($objdump -f "$dll")
grep -q "file format pei-i386" <<<"$header" || fail "not a PE32 file: $header"
grep -q "architecture: i386" <<<"$header" || fail "not Intel 80386: $header"

exports=$($objdump -p "$dll")
ordinal_of() {
    # "[   0] +base[   1] ..." lines give ordinals in table order; names follow in the same order.
    local name=$1
    local index
    index=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$exports" | grep -E "\] $name\$" | sed -E 's/.*\[ *([0-9]+)\].*/\1/')
    [[ -n "$index" ]] || return 1
    sed -n '/Export Address Table -- Ordinal Base/,/^$/p' <<<"$exports" | grep -E "^\s*\[ *$index\]" | sed -E 's/.*\+base\[ *([0-9]+)\].*/\1/'
}
[[ "$(ordinal_of DllCanUnloadNow)" == 1 ]] || fail "DllCanUnloadNow is not ordinal 1"
[[ "$(ordinal_of DllGetClassObject)" == 2 ]] || fail "DllGetClassObject is not ordinal 2"

wide=$(strings -e l "$dll")
grep -q "Ostrine Tool Module" <<<"$wide" || fail "caption text missing from the string table"
grep -q "already cross probing with another instance" <<<"$wide" || fail "message 107 missing"
grep -qx "VantikToolSX Module" <<<"$wide" || fail "version record missing"
grep -qx "TYPELIB" <<<"$wide" || fail "type library resource missing"
grep -q "MSFT" "$dll" || fail "type library resource is not a type library"
echo "PASS: $dll is PE32 i386 with exports at ordinals 1 and 2 and its resources"
