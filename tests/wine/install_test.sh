#!/bin/bash
# install_test.sh - runs install.cmd and uninstall.cmd under Wine, from the
# 64-bit and from the 32-bit cmd.exe, in a Wine prefix of their own, and
# checks the registry and the system folders after each step.
#
# usage: install_test.sh INSTALLER_DIR MODULE_DIR DENY_EXE WORK_DIR
#   INSTALLER_DIR  holds install.cmd and uninstall.cmd
#   MODULE_DIR     the build's module folder: Wendol.dll (the 32-bit module
#                  with 64-bit pointers) and x86/, x64/, arm64/
#   DENY_EXE       a Windows program that exits with code 2; it stands in
#                  for net.exe and fltmc.exe to play a user who is no
#                  administrator
#   WORK_DIR       scratch space; the prefix is made there and removed after
# WINE and WINE64 name Wine's 32- and 64-bit loaders (wine, wine64).
# Prints one line per check; exits non-zero when any check fails.
set -u

if [ $# -ne 4 ]; then
    echo "usage: $0 INSTALLER_DIR MODULE_DIR DENY_EXE WORK_DIR" >&2
    exit 2
fi
installer=$1 modules=$2 deny=$3 work=$4
. "$(dirname "$0")/install_lib.sh"

# --- the release folder, as the package lays it out -----------------------
rm -rf "$work"
release=$work/release
wendol_release "$release" "$installer" "$modules"
release_win='Z:'$(echo "$release" | tr / '\\')

if ! "$WINE" wineboot -i >/dev/null 2>&1; then
    echo "FAIL making the Wine prefix $WINEPREFIX"
    exit 1
fi

wendol_key_is() { # the whole key, value by value
    value_is "$1" "Layout File" REG_SZ Wendol.dll &&
    value_is "$1" "Layout Text" REG_SZ Tarvena &&
    value_is "$1" "Layout Display Name" REG_EXPAND_SZ '@%SystemRoot%\system32\Wendol.dll,-1000' &&
    value_is "$1" "Custom Language Display Name" REG_EXPAND_SZ '@%SystemRoot%\system32\Wendol.dll,-1100' &&
    value_is "$1" "Custom Language Name" REG_EXPAND_SZ '@%SystemRoot%\system32\Wendol.dll,-1200' &&
    value_is "$1" "Layout Id" REG_SZ "$2" &&
    value_is "$1" "Layout Product Code" REG_SZ "$PRODUCT_CODE"
}

# Layouts Windows itself would have: US, and Dvorak with a Layout Id.
reg_add 00000409 "Layout File" KBDUS.DLL
reg_add 00010409 "Layout File" KBDDV.DLL
reg_add 00010409 "Layout Id" 0002

# --- refused: no administrator, a module missing ---------------------------
mkdir -p "$work/user"
cp "$deny" "$work/user/net.exe"
cp "$deny" "$work/user/fltmc.exe"
cmd64 "$work/user" "$release_win\\install.cmd"
check "install refuses a user who is not an administrator" failed
check "  and says why" said "must be run as administrator"
check "  and registers nothing" key_absent a0010409
check "  and copies nothing" test ! -e "$system32/Wendol.dll"
cmd64 "$work/user" "$release_win\\uninstall.cmd"
check "uninstall refuses a user who is not an administrator" failed

mv "$release/wow64" "$release/wow64.away"
cmd64 "$release" install.cmd
check "install refuses when a module is missing" failed
check "  and names it" said 'wow64\Wendol.dll'
check "  and registers nothing" key_absent a0010409
check "  and copies nothing, not even the module it has" test ! -e "$system32/Wendol.dll"
mv "$release/wow64.away" "$release/wow64"

# --- install from the 64-bit cmd.exe --------------------------------------
cmd64 "$release" install.cmd
check "64-bit cmd: install succeeds" succeeded
check "  and reaches System32 directly" said 'copied x64\Wendol.dll to C:\windows\System32'
check "  a0010409 holds every value, with its type, Layout Id 00C0" wendol_key_is a0010409 00C0
check "  system32 has the x64 module" cmp -s "$system32/Wendol.dll" "$release/x64/Wendol.dll"
check "  which is PE32+ for x64 (machine 8664)" pe_is "$system32/Wendol.dll" 8664 020b
check "  syswow64 has the 32-bit module with 64-bit pointers" \
      cmp -s "$syswow64/Wendol.dll" "$release/wow64/Wendol.dll"
check "  which is PE32 for x86 (machine 014c)" pe_is "$syswow64/Wendol.dll" 014c 010b
check "  Windows' own layouts are untouched" value_is 00010409 "Layout Id" REG_SZ 0002

# --- again from the 32-bit cmd.exe, over the first ------------------------
rm -f "$system32/Wendol.dll" "$syswow64/Wendol.dll"
cmd32 "$release" install.cmd
check "32-bit cmd: install succeeds" succeeded
check "  and reaches System32 through Sysnative" said 'System32, through C:\windows\Sysnative'
check "  updates the same key, keeping its Layout Id" wendol_key_is a0010409 00C0
check "  one key carries Wendol's product code" test "$(keys_with_code)" = a0010409
check "  system32 has the x64 module, not the 32-bit one" \
      cmp -s "$system32/Wendol.dll" "$release/x64/Wendol.dll"
check "  syswow64 has the 32-bit module with 64-bit pointers" \
      cmp -s "$syswow64/Wendol.dll" "$release/wow64/Wendol.dll"

# --- uninstall from the 32-bit cmd.exe -------------------------------------
cmd32 "$release" uninstall.cmd
check "32-bit cmd: uninstall succeeds" succeeded
check "  the key is gone" key_absent a0010409
check "  the system32 module is gone" test ! -e "$system32/Wendol.dll"
check "  the syswow64 module is gone" test ! -e "$syswow64/Wendol.dll"
check "  Windows' own layouts stay" value_is 00010409 "Layout Id" REG_SZ 0002
check "  and US too" value_is 00000409 "Layout File" REG_SZ KBDUS.DLL

# --- another layout holds a0010409 and Layout Id 00C0 ---------------------
reg_add a0010409 "Layout File" OTHER.DLL
reg_add a0010409 "Layout Id" 00C0
cmd64 "$release" install.cmd
check "beside another layout: install succeeds" succeeded
check "  takes a0020409 and the next Layout Id, 00C1" wendol_key_is a0020409 00C1
check "  leaves the other layout's key alone" value_is a0010409 "Layout File" REG_SZ OTHER.DLL
cmd32 "$release" install.cmd
check "  a second install keeps a0020409 and 00C1" wendol_key_is a0020409 00C1

# A layout that names the same file without Wendol's product code still
# needs the file: uninstall takes only its own key.
reg_add a0050409 "Layout File" Wendol.dll
cmd64 "$release" uninstall.cmd
check "uninstall beside them succeeds" succeeded
check "  removes Wendol's key" key_absent a0020409
check "  not the other layout's" value_is a0010409 "Layout File" REG_SZ OTHER.DLL
check "  nor the key without Wendol's product code" key_exists a0050409
check "  and keeps the module that key names" test -e "$system32/Wendol.dll"

# --- a key that names Wendol.dll without Wendol's product code ------------
# Another layout, installed some other way under the same file name, holds
# the first free slot: install goes past it and uninstall leaves it whole.
"$WINE" reg delete "$KL\\a0050409" /f >/dev/null 2>&1
reg_add a0020409 "Layout File" Wendol.dll
reg_add a0020409 "Layout Text" "Someone else's"
reg_add a0020409 "Layout Id" 00C1
cmd64 "$release" install.cmd
check "beside a foreign key naming Wendol.dll: install succeeds" succeeded
check "  takes a0030409 and the next free Layout Id, 00C2" wendol_key_is a0030409 00C2
check "  the foreign key keeps its text" value_is a0020409 "Layout Text" REG_SZ "Someone else's"
check "  and gets no product code" test "$(keys_with_code)" = a0030409
cmd64 "$release" uninstall.cmd
check "  uninstall succeeds" succeeded
check "  removes Wendol's key" key_absent a0030409
check "  keeps the foreign key whole" value_is a0020409 "Layout Text" REG_SZ "Someone else's"
check "  with its Layout Id" value_is a0020409 "Layout Id" REG_SZ 00C1
check "  and the module it names" test -e "$system32/Wendol.dll"
check "  and says so" said "kept Wendol.dll"

if [ $failures -ne 0 ]; then
    echo "install_test: $failures checks failed"
    exit 1
fi
echo "install_test: every check passed"
