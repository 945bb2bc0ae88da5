#!/bin/bash
# install_beside_test.sh - a layout built from its .klc source, installed
# and removed by the installer `wendol build` made for it, in a fresh Wine
# prefix where Wendol is installed too: each installs beside the other and
# each uninstall leaves the other's key and modules as they were.
#
# usage: install_beside_test.sh INSTALLER_DIR MODULE_DIR BUILT_DIR WORK_DIR
#   INSTALLER_DIR  Wendol's install.cmd and uninstall.cmd
#   MODULE_DIR     the build's module folder (Wendol.dll and x86/, x64/, arm64/)
#   BUILT_DIR      what `wendol build` wrote: install.cmd, uninstall.cmd and
#                  x86/, x64/, arm64/, wow64/ with the module
#   WORK_DIR       scratch space; the prefix is made there and removed after
set -u

if [ $# -ne 4 ]; then
    echo "usage: $0 INSTALLER_DIR MODULE_DIR BUILT_DIR WORK_DIR" >&2
    exit 2
fi
installer=$1 modules=$2 built=$3 work=$4
. "$(dirname "$0")/install_lib.sh"

rm -rf "$work"
wendol=$work/wendol
wendol_release "$wendol" "$installer" "$modules"
other=$work/other
cp -r "$built" "$other"
dll=$(sed -n 's/^set "DLL=\(.*\)"\r$/\1/p' "$other/install.cmd")
code=$(sed -n 's/^set "PRODUCT_CODE=\(.*\)"\r$/\1/p' "$other/install.cmd")
if [ -z "$dll" ] || [ -z "$code" ]; then
    echo "FAIL the built installer names no module or product code"
    exit 1
fi

if ! "$WINE" wineboot -i >/dev/null 2>&1; then
    echo "FAIL making the Wine prefix $WINEPREFIX"
    exit 1
fi

# Every value of every layout key, and the modules of both.
snapshot() {
    "$WINE" reg query "$KL" /s 2>/dev/null | tr -d '\r' | grep -v -e '^reg:' -e '^$' > "$work/$1.reg"
    for f in Wendol.dll "$dll"; do
        for d in "$system32" "$syswow64"; do
            [ -e "$d/$f" ] && md5sum < "$d/$f" | sed "s|^|$d/$f |"
        done
    done > "$work/$1.files"
}
same_as() { cmp -s "$work/$1.reg" "$work/$2.reg" && cmp -s "$work/$1.files" "$work/$2.files" ||
            { diff "$work/$1.reg" "$work/$2.reg" | sed 's/^/     | /'; return 1; }; }

# Layouts Windows itself would have: US, and Dvorak with a Layout Id.
reg_add 00000409 "Layout File" KBDUS.DLL
reg_add 00010409 "Layout File" KBDDV.DLL
reg_add 00010409 "Layout Id" 0002

check "the built layout's product code is its own" test "$code" != "$PRODUCT_CODE"
snapshot empty
cmd64 "$wendol" install.cmd
check "Wendol installs" succeeded
snapshot wendol
cmd64 "$other" install.cmd
check "the built layout installs beside it" succeeded
check "  under a key of its own" test -n "$(keys_with_code "$code")"
check "  which is not Wendol's" test "$(keys_with_code "$code")" != "$(keys_with_code)"
check "  Wendol's key stays" test -n "$(keys_with_code)"
check "  its x64 module is in system32" cmp -s "$system32/$dll" "$other/x64/$dll"
check "  its WOW64 module in syswow64" cmp -s "$syswow64/$dll" "$other/wow64/$dll"
check "  Wendol's modules stay" cmp -s "$system32/Wendol.dll" "$wendol/x64/Wendol.dll"
cmd32 "$other" uninstall.cmd
check "the built layout uninstalls" succeeded
snapshot after_other
check "  leaving Wendol as it was" same_as after_other wendol
cmd32 "$other" install.cmd
check "the built layout installs again" succeeded
snapshot both
cmd64 "$wendol" uninstall.cmd
check "Wendol uninstalls" succeeded
check "  leaving the built layout's key" test -n "$(keys_with_code "$code")"
check "  and its modules" cmp -s "$system32/$dll" "$other/x64/$dll"
cmd64 "$other" uninstall.cmd
check "the built layout uninstalls last" succeeded
snapshot last
check "  and the prefix is as it was" same_as last empty

if [ $failures -ne 0 ]; then
    echo "install_beside_test: $failures checks failed"
    exit 1
fi
echo "install_beside_test: every check passed"
