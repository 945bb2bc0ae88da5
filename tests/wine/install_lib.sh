# install_lib.sh - what the Wine installer tests share: the prefix of their
# own under $work, Wendol's release folder, checks that count their
# failures, the two command processors, and the registry's values.
# Sourced once `work` is set; WINE and WINE64 name Wine's loaders.
WINE=${WINE:-wine}
if [ -z "${WINE64:-}" ]; then
    WINE64=$(command -v wine64 || echo /usr/lib/wine/wine64)
fi

export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
KL='HKLM\SYSTEM\CurrentControlSet\Control\Keyboard Layouts'
PRODUCT_CODE='{92890C1E-84CB-41BE-941B-AA2F9A9C7004}'
system32=$WINEPREFIX/drive_c/windows/system32
syswow64=$WINEPREFIX/drive_c/windows/syswow64
failures=0

# wendol_release <dir> <installer dir> <module dir>: Wendol's release
# folder, as the package lays it out: the scripts with CRLF lines, and
# x86/, x64/, arm64/ and wow64/ with the module.
wendol_release() {
    mkdir -p "$1"/{x86,x64,arm64,wow64}
    cp "$3/Wendol.dll" "$1/wow64/"
    for arch in x86 x64 arm64; do
        cp "$3/$arch/Wendol.dll" "$1/$arch/"
    done
    for script in install.cmd uninstall.cmd; do
        sed 's/\r*$/\r/' "$2/$script" > "$1/$script"
    done
}

check() { # check <what> <command...>
    local what=$1
    shift
    if "$@"; then
        echo "ok   $what"
    else
        echo "FAIL $what"
        failures=$((failures + 1))
    fi
}

cleanup() {
    # Let this prefix's wineserver finish before its folder goes.
    [ -d "$WINEPREFIX" ] && wineserver -w 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# cmd32 / cmd64 <dir> <script>: runs the script from <dir> under Wine's
# 32-bit cmd.exe (as a 32-bit process on 64-bit Windows) or the 64-bit one.
# Output goes to $work/out, the exit code to $rc.
cmd32() { (cd "$1" && "$WINE" 'C:\windows\syswow64\cmd.exe' /c "$2") </dev/null >"$work/out" 2>&1; rc=$?; }
cmd64() { (cd "$1" && "$WINE64" 'C:\windows\system32\cmd.exe' /c "$2") </dev/null >"$work/out" 2>&1; rc=$?; }

reg_add() { "$WINE" reg add "$KL\\$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1; }
key_exists() { "$WINE" reg query "$KL\\$1" >/dev/null 2>&1; }
key_absent() { ! key_exists "$1"; }

# value_is <key> <name> <type> <data>: reg prints the value exactly so.
value_is() {
    local line
    line=$("$WINE" reg query "$KL\\$1" /v "$2" 2>/dev/null | tr -d '\r' | grep -F "    $2    ")
    [ "$line" = "    $2    $3    $4" ] || { echo "     found: ${line:-nothing}"; return 1; }
}

# keys_with_code: the keys that carry Wendol's product code, one a line.
keys_with_code() { # keys_with_code [code]: the layout keys carrying the product code
    "$WINE" reg query "$KL" /s 2>/dev/null | tr -d '\r' | awk -v code="${1:-$PRODUCT_CODE}" '
        /^HKEY_/ { key = $0; sub(/.*\\/, "", key) }
        $1 == "Layout" && $2 == "Product" && $4 == "REG_SZ" && $5 == code { print key }'
}

# pe_is <file> <machine> <optional-header magic>, as od prints them.
pe_is() {
    local pe machine magic
    pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
    magic=$(od -An -tx2 -j$((pe + 24)) -N2 "$1" | tr -d ' ')
    [ "$machine" = "$2" ] && [ "$magic" = "$3" ] ||
        { echo "     found: machine $machine, magic $magic"; return 1; }
}

said() { grep -qF -- "$1" "$work/out" || { sed 's/^/     | /' "$work/out"; return 1; }; }
succeeded() { [ "$rc" -eq 0 ] || { sed 's/^/     | /' "$work/out"; return 1; }; }
failed() { [ "$rc" -ne 0 ]; }

