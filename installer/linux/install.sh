#!/bin/sh
# install.sh - installs the wendol layout for libxkbcommon (Wayland desktops:
# GNOME, KDE Plasma, Sway, ...) and its dead keys for Compose, or removes it.
#
#   sh install.sh install   [FROM] [--system | --prefix DIR] [--no-system-compose]
#   sh install.sh uninstall [FROM] [--system | --prefix DIR]
#
# FROM is the folder `wendol xkb` wrote (symbols/, types/, rules/,
# wendol.compose); by default the folder this script is in.  The files go to
# ${XDG_CONFIG_HOME:-~/.config}/xkb for the user, to /etc/xkb for the whole
# machine with --system, or to DIR.  A user install also adds the dead keys
# to the user's Compose file; a new one includes the system's table first
# (the dead keys of other layouts, the Compose key), unless
# --no-system-compose: then two dead keys in a row type as on Windows even
# where the system's table would wait for a third key.
#
# Only what this script adds is ever removed: files it writes carry the
# layout's name or a mark, and a file the user had (rules/evdev, XCompose)
# gets a marked block that uninstall takes out again.
set -eu

die() {
    echo "install.sh: $*" >&2
    exit 1
}

usage() {
    echo "usage: sh install.sh install|uninstall [FROM] [--system | --prefix DIR]" \
         "[--no-system-compose]" >&2
    exit 2
}

[ $# -ge 1 ] || usage
action=$1
shift
case $action in
install | uninstall) ;;
*) usage ;;
esac

from=$(cd "$(dirname "$0")" && pwd)
target=
user=yes
system_compose=yes
while [ $# -gt 0 ]; do
    case $1 in
    --system) target=/etc/xkb; user=no ;;
    --prefix) [ $# -ge 2 ] || usage; target=$2; user=no; shift ;;
    --no-system-compose) system_compose=no ;;
    -*) usage ;;
    *) from=$1 ;;
    esac
    shift
done
config=${XDG_CONFIG_HOME:-$HOME/.config}
[ -n "$target" ] || target=$config/xkb

begin_mark='BEGIN wendol (install.sh)'
end_mark='END wendol (install.sh)'
signature='wendol xkb'   # every file `wendol xkb` writes names it

# Takes the marked block out of a file; removes the file when nothing else
# was in it.
remove_block() {   # file comment
    [ -f "$1" ] || return 0
    grep -qF "$2 $begin_mark" "$1" || return 0
    sed "\\|^$2 $begin_mark|,\\|^$2 $end_mark|d" "$1" >"$1.wendol-tmp"
    if grep -q '[^[:space:]]' "$1.wendol-tmp"; then
        mv "$1.wendol-tmp" "$1"
    else
        rm -f "$1.wendol-tmp" "$1"
    fi
}

# Puts `text` into a file inside a marked block, after whatever the file
# holds; an older block of ours is replaced.
add_block() {   # file comment text
    remove_block "$1" "$2"
    mkdir -p "$(dirname "$1")"
    { echo "$2 $begin_mark"; printf '%s\n' "$3"; echo "$2 $end_mark"; } >>"$1"
}

# A file of the layout's own: refused where someone else's file has the name.
put_own() {   # source destination
    [ -f "$1" ] || die "$1 is missing: run \`wendol xkb Wendol.dll --out DIR\` and install from DIR"
    if [ -f "$2" ] && ! grep -qF "$signature" "$2"; then
        die "$2 is not wendol's; not replacing it"
    fi
    mkdir -p "$(dirname "$2")"
    cp "$1" "$2"
}

remove_own() {   # file
    if [ -f "$1" ] && grep -qF "$signature" "$1"; then
        rm -f "$1"
    fi
}

# The Compose file libxkbcommon reads for the user: the first of
# $XDG_CONFIG_HOME/XCompose and ~/.XCompose that exists, else the first.
user_compose() {
    if [ -f "$config/XCompose" ] || [ ! -f "$HOME/.XCompose" ]; then
        echo "$config/XCompose"
    else
        echo "$HOME/.XCompose"
    fi
}

install() {
    put_own "$from/symbols/wendol" "$target/symbols/wendol"
    put_own "$from/types/wendol" "$target/types/wendol"
    put_own "$from/wendol.compose" "$target/wendol.compose"
    [ -f "$from/rules/evdev" ] || die "$from/rules/evdev is missing"
    remove_block "$target/rules/evdev" //
    if [ -f "$target/rules/evdev" ]; then
        # Rules of the user's own: only the layout's lines are added.
        add_block "$target/rules/evdev" // "$(grep -v '^! include' "$from/rules/evdev")"
    else
        add_block "$target/rules/evdev" // "$(cat "$from/rules/evdev")"
    fi
    if [ ! -f "$target/rules/evdev.xml" ] || grep -qF "$signature" "$target/rules/evdev.xml"; then
        cp "$from/rules/evdev.xml" "$target/rules/evdev.xml"
    else
        echo "install.sh: $target/rules/evdev.xml is not wendol's: the layout works by its" \
             "name \"wendol\" but the desktop may not list it" >&2
    fi
    if [ $user = yes ]; then
        compose=$(user_compose)
        if [ -f "$compose" ] || [ $system_compose = no ]; then
            add_block "$compose" '#' "include \"$target/wendol.compose\""
        else
            add_block "$compose" '#' "include \"%L\"
include \"$target/wendol.compose\""
        fi
        echo "installed into $target; dead keys in $compose"
    else
        echo "installed into $target; for the dead keys each user adds"
        echo "  include \"$target/wendol.compose\""
        echo "to ~/.XCompose (or runs this script without --system)"
    fi
    echo "select the layout \"wendol\" in the desktop's keyboard settings (log out and in first)"
}

uninstall() {
    remove_own "$target/symbols/wendol"
    remove_own "$target/types/wendol"
    remove_own "$target/wendol.compose"
    remove_block "$target/rules/evdev" //
    remove_own "$target/rules/evdev.xml"
    if [ $user = yes ]; then
        remove_block "$config/XCompose" '#'
        remove_block "$HOME/.XCompose" '#'
    fi
    echo "removed wendol from $target"
}

$action
