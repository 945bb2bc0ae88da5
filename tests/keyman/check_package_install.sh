#!/bin/sh
# check_package_install.sh - installs a Keyman package for the user with
# Keyman for Linux (km-package-install), checks that km-package-list-installed
# lists it under its id and version and that its files landed in the user's
# Keyman folder, uninstalls it (km-package-uninstall) and checks it is gone.
#
#   sh check_package_install.sh PACKAGE.kmp ID VERSION WORK_DIR
#
# Everything happens under WORK_DIR (emptied first, removed when every check
# passed): HOME and the XDG folders point there, so the package lands in
# WORK_DIR/data/keyman/ID.  No desktop session is needed or touched:
#   - dbus-run-session gives the tools a session bus of their own, which
#     they need to announce the changed keyboard list (com.Keyman.Config);
#   - IBUS_ADDRESS names a socket that is not there, so no IBus daemon is
#     reached and the keyboard is not added to any IBus engine list;
#   - the tools start an ibus-daemon when none runs for the user, and look
#     for gnome-shell with pidof: stand-ins on PATH for ibus-daemon, ibus and
#     pidof keep them from starting or finding either;
#   - KEYMAN_NOSENTRY=1 keeps errors from being reported over the network.
set -u
kmp=$1
id=$2
version=$3
work=$4
failures=0
passes=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
pass() { echo "ok   $*"; passes=$((passes + 1)); }
die() { echo "FAIL $*"; exit 1; }

for tool in km-package-install km-package-list-installed km-package-uninstall dbus-run-session; do
    command -v $tool >/dev/null ||
        die "no $tool: install the Debian packages keyman and dbus (scripts/build.sh does)"
done
[ -f "$kmp" ] || die "no package $kmp"
kmp=$(realpath "$kmp")
rm -rf "$work"
mkdir -p "$work/home" "$work/data" "$work/cache" "$work/config" "$work/run" "$work/bin"
chmod 700 "$work/run"
work=$(realpath "$work")

for stand_in in ibus-daemon ibus; do
    printf '#!/bin/sh\nexit 0\n' >"$work/bin/$stand_in"
done
printf '#!/bin/sh\nexit 1\n' >"$work/bin/pidof"
chmod +x "$work/bin/"*

# Runs a Keyman for Linux tool with nothing of the caller's session.
keyman() {
    env -i PATH="$work/bin:/usr/bin:/bin" HOME="$work/home" USER="$(id -un)" LANG=C.UTF-8 \
        XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" \
        XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" \
        KEYMAN_NOSENTRY=1 IBUS_ADDRESS="unix:path=$work/no-ibus" GSETTINGS_BACKEND=memory \
        dbus-run-session -- "$@"
}

installed=$work/data/keyman/$id
entry=", version: $version, id: $id"

keyman km-package-install --file "$kmp" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; die "km-package-install does not install $kmp"; }
pass "km-package-install installs $(basename "$kmp")"

if keyman km-package-list-installed --user 2>>"$work/keyman.log" | grep -q -- "$entry\$"; then
    pass "km-package-list-installed lists id $id, version $version"
else
    fail "km-package-list-installed does not list id $id, version $version:"
    keyman km-package-list-installed --user 2>&1
fi

# The package's files, kmp.json among them, in the user's Keyman folder.
if [ -f "$installed/kmp.json" ] && [ -f "$installed/$id.kmx" ]; then
    pass "kmp.json and $id.kmx are in $installed"
else
    fail "kmp.json or $id.kmx missing from $installed: $(ls "$installed" 2>&1)"
fi
missing=""
for member in $(unzip -Z1 "$kmp"); do
    [ -f "$installed/$member" ] || missing="$missing $member"
done
if [ -z "$missing" ]; then
    pass "every file of the package is in $installed"
else
    fail "files of the package missing from $installed:$missing"
fi

keyman km-package-uninstall "$id" >"$work/uninstall.log" 2>&1 ||
    { cat "$work/uninstall.log"; fail "km-package-uninstall $id fails"; }
if [ -e "$installed" ]; then
    fail "$installed is still there after km-package-uninstall"
else
    pass "km-package-uninstall removes $installed"
fi
if keyman km-package-list-installed --user 2>>"$work/keyman.log" | grep -q -- ", id: $id\$"; then
    fail "km-package-list-installed still lists $id after km-package-uninstall"
else
    pass "km-package-list-installed no longer lists $id"
fi

echo "$passes passed, $failures failed"
if [ "$failures" -eq 0 ]; then
    rm -rf "$work"
    exit 0
fi
exit 1
