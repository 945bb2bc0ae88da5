#!/bin/sh
# check_deb.sh - makes the Debian package in the release build, twice, and
# compares the bytes; has lintian judge it; installs it into a root of its
# own with dpkg, runs what it installed, and removes it again, checking that
# nothing of it is left.
#
#   sh check_deb.sh SOURCE_DIR VERSION MODULE WORK_DIR
#
# SOURCE_DIR's release preset (build-release/) makes the package; MODULE is
# the layout image the installed program verifies; WORK_DIR is scratch space
# (emptied first, removed when every check passed).
set -u
source_dir=$1
version=$2
module=$3
work=$4
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
pass() { echo "ok   $*"; }
die() { echo "FAIL $*"; exit 1; }

for tool in lintian dpkg-shlibdeps; do
    command -v $tool >/dev/null ||
        die "no $tool: install the Debian packages lintian and dpkg-dev (scripts/build.sh does)"
done
rm -rf "$work"
mkdir -p "$work"

# The package, from the release build (built as far as the package needs).
(cd "$source_dir" && cmake --preset release >"$work/configure.log" 2>&1) ||
    { cat "$work/configure.log"; die "the release preset does not configure"; }
(cd "$source_dir" && cmake --build --preset release --target deb >"$work/build.log" 2>&1) ||
    { tail -40 "$work/build.log"; die "the release build does not make the package"; }
deb=$source_dir/build-release/wendol_${version}_amd64.deb
[ -f "$deb" ] || die "no $deb after the build"
pass "$deb made"

# Packed again a second later, the same bytes: every entry carries the
# changelog's date, not the time of the packing.
first=$(sha256sum "$deb" | cut -d' ' -f1)
sleep 1.1
(cd "$source_dir" && cmake --build --preset release --target deb >>"$work/build.log" 2>&1) ||
    { tail -40 "$work/build.log"; die "the release build does not make the package again"; }
second=$(sha256sum "$deb" | cut -d' ' -f1)
if [ "$first" = "$second" ]; then
    pass "packed twice, the same bytes ($first)"
else
    fail "packed twice, different bytes: $first, then $second"
fi

# lintian: no error.  Its warnings are listed, and the README names them.
lintian --allow-root --info "$deb" >"$work/lintian.txt" 2>&1
cat "$work/lintian.txt"
if grep -q '^E:' "$work/lintian.txt"; then
    fail "lintian reports errors"
else
    pass "lintian reports no error"
fi

# Every entry owned by root.
if dpkg-deb --fsys-tarfile "$deb" | tar -tvf - | awk '$2 != "root/root"' | grep -q .; then
    fail "entries not owned by root: $(dpkg-deb --fsys-tarfile "$deb" | tar -tvf - | awk '$2 != "root/root"')"
else
    pass "every entry is owned by root"
fi

# A root of dpkg's own: its database, empty, and the package installed into it.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
dpkg_root() {
    dpkg --root="$root" --log=/dev/null --force-not-root --force-script-chrootless "$@"
}
dpkg_root --force-depends -i "$deb" >"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log"; die "dpkg does not install $deb"; }
pass "installed into $root"

wendol=$root/usr/bin/wendol
got=$("$wendol" --version 2>&1)
if [ "$got" = "wendol $version" ]; then
    pass "the installed wendol --version: $got"
else
    fail "the installed wendol --version says \"$got\", not \"wendol $version\""
fi
if "$wendol" verify "$module" >"$work/verify.txt" 2>&1; then
    pass "the installed wendol verifies $module"
else
    cat "$work/verify.txt"
    fail "the installed wendol verify fails on $module"
fi
if readelf -d "$wendol" | grep -q 'RPATH\|RUNPATH'; then
    fail "the installed wendol carries a search path: $(readelf -d "$wendol" | grep 'RPATH\|RUNPATH')"
else
    pass "no RPATH or RUNPATH"
fi
if readelf -S "$wendol" | grep -q '\.debug_\|\.symtab'; then
    fail "the installed wendol is not stripped"
else
    pass "the installed wendol is stripped"
fi

man=$root/usr/share/man/man1/wendol.1.gz
if gzip -cd "$man" 2>/dev/null | grep -q '^\.TH WENDOL "1" .*"wendol '"$version"'"'; then
    pass "the manual page is $man, for wendol $version"
else
    fail "no manual page of wendol $version at $man"
fi
completion=$root/usr/share/bash-completion/completions/wendol
if [ -f "$completion" ] && bash -n "$completion"; then
    pass "the bash completion is $completion"
else
    fail "no bash completion at $completion"
fi
for doc in copyright changelog.gz; do
    if [ -f "$root/usr/share/doc/wendol/$doc" ]; then
        pass "/usr/share/doc/wendol/$doc"
    else
        fail "no /usr/share/doc/wendol/$doc"
    fi
done

# The layout for Linux, complete enough for its own installer to install.
share=$root/usr/share/wendol
name=$(ls "$share/symbols" 2>/dev/null | head -n 1)
if [ -n "$name" ] && sh "$share/install.sh" install --prefix "$work/xkb" >"$work/install.log" 2>&1 &&
   [ -f "$work/xkb/symbols/$name" ] && [ -f "$work/xkb/types/$name" ] &&
   [ -f "$work/xkb/rules/evdev" ]; then
    pass "$share/install.sh installs the layout from $share"
else
    cat "$work/install.log"
    fail "$share/install.sh does not install the layout from $share"
fi
sh "$share/install.sh" uninstall --prefix "$work/xkb" >/dev/null 2>&1 ||
    fail "$share/install.sh does not uninstall"

# Removed: nothing of it left but dpkg's own database.
dpkg_root -r wendol >>"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log"; die "dpkg does not remove wendol"; }
left=$(cd "$root" && find . -mindepth 1 ! -path './var' ! -path './var/lib' ! -path './var/lib/dpkg' \
           ! -path './var/lib/dpkg/*')
left_info=$(ls "$root/var/lib/dpkg/info" | grep '^wendol\.')
if [ -z "$left" ] && [ -z "$left_info" ]; then
    pass "removed, nothing of it left"
else
    fail "left after removal: $left $left_info"
fi
if dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${db:Status-Status}' wendol 2>/dev/null |
   grep -qv '^not-installed$'; then
    fail "dpkg still lists wendol as $(dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${db:Status-Status}' wendol)"
fi

[ $failures -eq 0 ] || { echo "deb: $failures checks failed"; exit 1; }
rm -rf "$work"
echo "deb: every check passed"
