#!/bin/sh
# install.sh - installs a keyboard layout for libxkbcommon (Wayland desktops:
# GNOME, KDE Plasma, Sway, ...) under its own name, with its dead keys for
# Compose, or removes it again.
#
#   sh install.sh install   [FROM] [--system | --prefix DIR] [--no-system-compose]
#   sh install.sh uninstall [FROM | --name NAME] [--system | --prefix DIR]
#
# FROM is a folder of the layout's Linux files (symbols/NAME, types/NAME,
# NAME.compose, rules/evdev, rules/evdev.xml); by default the folder this
# script is in, which in the release holds Wendol's.  The layout's name is
# the one its files were written under.  The files go to
# ${XDG_CONFIG_HOME:-~/.config}/xkb for the user, to /etc/xkb for the whole
# machine with --system, or to DIR.  A user install also adds the dead keys
# to the user's Compose file; a new one includes the system's table first
# (the dead keys of other layouts, the Compose key), unless
# --no-system-compose: then two dead keys in a row type as on Windows even
# where the system's table would wait for a third key.
#
# Several layouts install side by side, each under its name.  Only what
# this script adds is ever removed or replaced: each file of a layout names
# the layout and what it was written from, and a file with the layout's
# name that is another layout's, or nobody's we know, is left alone.  The
# files layouts share (rules/evdev, rules/evdev.xml, XCompose) get a marked
# block per layout, which uninstall takes out again.
set -eu

die() {
    echo "install.sh: $*" >&2
    exit 1
}

usage() {
    echo "usage: sh install.sh install [FROM] [--system | --prefix DIR] [--no-system-compose]" >&2
    echo "       sh install.sh uninstall [FROM | --name NAME] [--system | --prefix DIR]" >&2
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
from_given=no
name=
target=
user=yes
system_compose=yes
while [ $# -gt 0 ]; do
    case $1 in
    --system) target=/etc/xkb; user=no ;;
    --prefix) [ $# -ge 2 ] || usage; target=$2; user=no; shift ;;
    --name) [ $# -ge 2 ] && [ "$action" = uninstall ] || usage; name=$2; shift ;;
    --no-system-compose) system_compose=no ;;
    -*) usage ;;
    *) from=$1; from_given=yes ;;
    esac
    shift
done
config=${XDG_CONFIG_HOME:-$HOME/.config}
[ -n "$target" ] || target=$config/xkb

signature='wendol xkb'   # every file `wendol xkb` writes names it
system_block='system'    # the block of a shared file that is no layout's: never a layout name

# What a file says it is: "NAME" from ORIGIN, on the line every file of a
# layout has; nothing for a file without one.
identity() {   # file
    sed -n 's/^.*wendol xkb: layout \(".*\)$/\1/p' "$1" | sed 's/ -->$//' | head -n 1
}

# The folder's layout: the name its rules were written for.
given_name=$name
if [ -z "$name" ] || [ $from_given = yes ]; then
    [ -d "$from" ] || die "$from is no folder"
    hint=
    [ "$action" = install ] || hint=", or --name NAME"
    [ -f "$from/rules/evdev" ] ||
        die "$from holds no layout (no rules/evdev): give the folder of the layout's Linux" \
            "files, such as the linux folder of the release$hint"
    name=$(identity "$from/rules/evdev" | sed -n 's/^"\([a-z0-9_]*\)".*$/\1/p')
    [ -n "$name" ] || die "$from/rules/evdev does not name its layout"
    [ -z "$given_name" ] || [ "$given_name" = "$name" ] ||
        die "$from holds the layout \"$name\", not \"$given_name\""
    own=$(identity "$from/rules/evdev")
else
    case $name in
    '' | [0-9]* | *[!a-z0-9_]*) die "\"$name\" cannot name a layout (a-z, 0-9 and _)" ;;
    esac
    own=
fi

begin_mark="BEGIN $name (install.sh)"
end_mark="END $name (install.sh)"

# Takes a marked block (the layout's, or `which`) out of a file; removes the
# file when nothing else was in it.
remove_block() {   # file comment [which]
    [ -f "$1" ] || return 0
    b="BEGIN ${3:-$name} (install.sh)"
    e="END ${3:-$name} (install.sh)"
    grep -qF "$2 $b" "$1" || return 0
    sed "\\|^$2 $b|,\\|^$2 $e|d" "$1" >"$1.install-tmp"
    if grep -q '[^[:space:]]' "$1.install-tmp"; then
        mv "$1.install-tmp" "$1"
    else
        rm -f "$1.install-tmp" "$1"
    fi
}

# Puts `text` into a file inside a marked block, after whatever the file
# holds; an older block of the same layout is replaced.
add_block() {   # file comment text [which]
    remove_block "$1" "$2" "${4:-$name}"
    mkdir -p "$(dirname "$1")"
    { echo "$2 BEGIN ${4:-$name} (install.sh)"; printf '%s\n' "$3"
      echo "$2 END ${4:-$name} (install.sh)"; } >>"$1"
}

# Whether a shared file still holds a block of some layout of ours.
has_layout_blocks() {   # file comment
    [ -f "$1" ] && grep "^$2 BEGIN .* (install.sh)" "$1" | grep -vqF "BEGIN $system_block (install.sh)"
}

# Refuses, before anything is written, to put the layout's file where
# another layout's file or someone else's is.
check_own() {   # source destination
    [ -f "$1" ] || die "$1 is missing: $from does not hold all of the layout \"$name\"'s files"
    [ "$(identity "$1")" = "$own" ] ||
        die "$1 is of another layout than $from/rules/evdev: install from a folder holding one layout"
    [ -f "$2" ] || return 0
    grep -qF "$signature" "$2" || die "$2 is not a layout this script installed; not replacing it"
    theirs=$(identity "$2")
    [ "$theirs" = "$own" ] ||
        die "$2 is the layout ${theirs:-of an older install}, not $own; not replacing it" \
            "(uninstall that one first, or give this layout another name)"
}

put_own() {   # source destination
    mkdir -p "$(dirname "$2")"
    cp "$1" "$2"
}

# The layout's entry in the registry, between marks of its own.
registry_entry() {
    echo "<!-- $begin_mark -->"
    sed -n '/^ *<layout>/,/^ *<\/layout>/p' "$from/rules/evdev.xml"
    echo "<!-- $end_mark -->"
}

add_registry_entry() {   # registry
    remove_registry_entry "$1"
    if [ ! -f "$1" ]; then
        mkdir -p "$(dirname "$1")"
        cat >"$1" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE xkbConfigRegistry SYSTEM "xkb.dtd">
<!-- The layouts install.sh installed from files `wendol xkb` wrote. -->
<xkbConfigRegistry version="1.1">
  <modelList/>
  <layoutList>
  </layoutList>
  <optionList/>
</xkbConfigRegistry>
XML
    fi
    registry_entry >"$1.install-entry"
    awk -v entry="$1.install-entry" '
        /<\/layoutList>/ { while ((getline line < entry) > 0) print line }
        { print }' "$1" >"$1.install-tmp"
    rm -f "$1.install-entry"
    mv "$1.install-tmp" "$1"
}

# Takes the layout's entry out; the file goes when no entry is left.
remove_registry_entry() {   # registry
    [ -f "$1" ] && grep -qF "<!-- $begin_mark -->" "$1" || return 0
    sed "\\|^<!-- $begin_mark -->|,\\|^<!-- $end_mark -->|d" "$1" >"$1.install-tmp"
    mv "$1.install-tmp" "$1"
    grep -q '^ *<layout>' "$1" || rm -f "$1"
}

# Takes out the layout's entry in a registry an earlier release copied
# whole, which has no marks: the <layout> whose first name is the layout's.
remove_unmarked_entry() {   # registry
    [ -f "$1" ] && grep -qF "$signature" "$1" && grep -qF "<name>$name</name>" "$1" || return 1
    awk -v name="<name>$name</name>" '
        /^ *<layout>/ { held = $0 "\n"; holding = 1; first = ""; next }
        holding {
            held = held $0 "\n"
            if (first == "" && index($0, "<name>")) first = $0
            if ($0 ~ /^ *<\/layout>/) {
                holding = 0
                if (index(first, name) == 0) printf "%s", held
            }
            next
        }
        { print }' "$1" >"$1.install-tmp"
    cmp -s "$1" "$1.install-tmp" && { rm -f "$1.install-tmp"; return 1; }
    mv "$1.install-tmp" "$1"
    grep -q '^ *<layout>' "$1" || rm -f "$1"
}

# An earlier release kept the system's part of a shared file (the rules'
# include, the Compose file's include "%L") inside the layout's own block,
# so removing that layout would take it from every other: it is moved into
# a block of its own, first in the file.
adopt_system_lines() {   # file comment pattern
    [ -f "$1" ] || return 0
    ! grep -qF "$2 BEGIN $system_block (install.sh)" "$1" || return 0
    awk -v c="$2" -v p="$3" -v sys="$system_block" '
        function mark(line, word) { return index(line, c " " word " ") == 1 && line ~ / \(install\.sh\)$/ }
        { lines[NR] = $0 }
        mark($0, "BEGIN") { inside = 1; next }
        mark($0, "END") { inside = 0; next }
        inside && $0 ~ p { moved[NR] = 1; if (!(($0) in seen)) { seen[$0] = 1; order[++n] = $0 } }
        END {
            if (n == 0) { for (i = 1; i <= NR; ++i) print lines[i]; exit }
            print c " BEGIN " sys " (install.sh)"
            for (i = 1; i <= n; ++i) print order[i]
            print c " END " sys " (install.sh)"
            for (i = 1; i <= NR; ++i) if (!(i in moved)) print lines[i]
        }' "$1" >"$1.install-tmp"
    mv "$1.install-tmp" "$1"
}

adopt_earlier_install() {
    adopt_system_lines "$target/rules/evdev" // '^! include'
    if [ $user = yes ]; then
        for compose in "$config/XCompose" "$HOME/.XCompose"; do
            adopt_system_lines "$compose" '#' '^include "%L"'
        done
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
    adopt_earlier_install
    check_own "$from/symbols/$name" "$target/symbols/$name"
    check_own "$from/types/$name" "$target/types/$name"
    check_own "$from/$name.compose" "$target/$name.compose"
    [ -f "$from/rules/evdev.xml" ] || die "$from/rules/evdev.xml is missing"
    put_own "$from/symbols/$name" "$target/symbols/$name"
    put_own "$from/types/$name" "$target/types/$name"
    put_own "$from/$name.compose" "$target/$name.compose"

    rules=$target/rules/evdev
    remove_block "$rules" //
    if [ ! -f "$rules" ]; then
        # A rules file of ours: the system's rules first, for every layout.
        add_block "$rules" // "$(grep '^! include' "$from/rules/evdev")" $system_block
    fi
    add_block "$rules" // "$(grep -v '^! include' "$from/rules/evdev")"

    registry=$target/rules/evdev.xml
    if [ ! -f "$registry" ] || grep -qF "$signature" "$registry"; then
        add_registry_entry "$registry"
    else
        echo "install.sh: $registry is not this script's: the layout works by its" \
             "name \"$name\" but the desktop may not list it" >&2
    fi
    if [ $user = yes ]; then
        compose=$(user_compose)
        remove_block "$compose" '#'
        if [ ! -f "$compose" ] && [ $system_compose = yes ]; then
            add_block "$compose" '#' 'include "%L"' $system_block
        fi
        add_block "$compose" '#' "include \"$target/$name.compose\""
        echo "installed the layout \"$name\" into $target; dead keys in $compose"
    else
        echo "installed the layout \"$name\" into $target; for the dead keys each user adds"
        echo "  include \"$target/$name.compose\""
        echo "to ~/.XCompose (or runs this script without --system)"
    fi
    echo "select the layout \"$name\" in the desktop's keyboard settings (log out and in first)"
}

# Removes a file of the layout's (uninstall has checked it is).
remove_own() {   # file
    [ -f "$1" ] && grep -qF "$signature" "$1" || return 0
    rm -f "$1"
    removed=yes
}

uninstall() {
    removed=no
    adopt_earlier_install
    # Another layout's files under the name are left, and nothing is removed.
    for file in "$target/symbols/$name" "$target/types/$name" "$target/$name.compose"; do
        [ -f "$file" ] && grep -qF "$signature" "$file" && [ -n "$own" ] || continue
        theirs=$(identity "$file")
        [ "$theirs" = "$own" ] ||
            die "$file is the layout ${theirs:-of an older install}, not $own; not removing it"
    done
    remove_own "$target/symbols/$name"
    remove_own "$target/types/$name"
    remove_own "$target/$name.compose"
    rules=$target/rules/evdev
    if [ -f "$rules" ] && grep -qF "// $begin_mark" "$rules"; then
        remove_block "$rules" //
        removed=yes
    fi
    has_layout_blocks "$rules" // || remove_block "$rules" // $system_block
    registry=$target/rules/evdev.xml
    if [ -f "$registry" ] && grep -qF "<!-- $begin_mark -->" "$registry"; then
        remove_registry_entry "$registry"
        removed=yes
    fi
    if remove_unmarked_entry "$registry"; then
        removed=yes
    fi
    if [ $user = yes ]; then
        for compose in "$config/XCompose" "$HOME/.XCompose"; do
            remove_block "$compose" '#'
            has_layout_blocks "$compose" '#' || remove_block "$compose" '#' $system_block
        done
    fi
    # The folders the install made, where nothing else is left in them.
    for dir in "$target/symbols" "$target/types" "$target/rules"; do
        [ ! -d "$dir" ] || rmdir "$dir" 2>/dev/null || true
    done
    [ $removed = yes ] || die "the layout \"$name\" is not installed in $target; nothing removed"
    echo "removed the layout \"$name\" from $target"
}

$action
