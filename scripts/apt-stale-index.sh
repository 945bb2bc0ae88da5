#!/bin/sh
# Usage: apt-stale-index.sh UPDATE_LOG
#
# A mirror in the middle of a sync can serve, for hours, the previous
# Packages index under a signed Release that already names the next one.
# apt refuses that index by its size ("File has unexpected size ... Mirror
# sync in progress?") and goes on without it, and on a multiarch machine the
# i386 libraries then cannot match the amd64 versions already installed.
#
# For each index refused that way in UPDATE_LOG (apt-get update's output),
# this fetches the index as served and takes it into apt's lists only when it
# agrees with what apt did verify: every package it shares, by name, version
# and architecture, with a verified list must carry the same SHA256, and it
# must share at least a hundred.  This is a check of consistency, not of the
# signature: a package that only this index names is trusted on the word of
# the mirror that served the rest correctly.  It says so when it does it.
set -eu

log=$1
lists=/var/lib/apt/lists
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# apt keeps http://HOST/PATH/Packages.xz as HOST_PATH_Packages.
list_name() { echo "$1" | sed -e 's|^http://||' -e 's|\.xz$||' -e 's|/|_|g'; }

# The verified lists as "package version architecture sha256" lines: every
# list but those refused (one taken by an earlier run is not verified).
verified_entries() {
    for f in "$lists"/*_Packages*; do
        [ -f "$f" ] || continue
        case " $refused " in *" ${f##*/} "*) continue ;; esac
        /usr/lib/apt/apt-helper cat-file "$f"
    done | entries
}

entries() {
    awk '/^Package: /      { p = $2 }
         /^Version: /      { v = $2 }
         /^Architecture: / { a = $2 }
         /^SHA256: /       { s = $2 }
         /^$/              { if (p != "") print p, v, a, s; p = v = a = s = "" }
         END               { if (p != "") print p, v, a, s }'
}

urls=$(sed -n 's|.*Failed to fetch \(http[^ ]*/Packages\.xz\) *File has unexpected size.*|\1|p' "$log" | sort -u)
[ -n "$urls" ] || exit 1
refused=""
for url in $urls; do
    refused="$refused $(list_name "$url")"
done

verified_entries > "$work/verified"
taken=0
for url in $urls; do
    name=$(list_name "$url")
    /usr/lib/apt/apt-helper download-file "$url" "$work/index.xz" >/dev/null 2>&1 || { echo "could not fetch $url" >&2; continue; }
    xz -dc "$work/index.xz" > "$work/index" 2>/dev/null || { echo "$url is not an xz file" >&2; continue; }
    entries < "$work/index" > "$work/served"
    verdict=$(awk 'NR == FNR { hash[$1 " " $2 " " $3] = $4; next }
                   ($1 " " $2 " " $3) in hash { if (hash[$1 " " $2 " " $3] == $4) same++; else differ++ }
                   END { print same + 0, differ + 0 }' "$work/verified" "$work/served")
    same=${verdict% *}
    differ=${verdict#* }
    count=$(wc -l < "$work/served")
    if [ "$differ" -ne 0 ] || [ "$same" -lt 100 ]; then
        echo "not taking $url: of its $count packages $same agree with verified lists and $differ differ" >&2
        continue
    fi
    cp "$work/index" "$lists/$name"
    echo "taking the index the mirror serves for $url although its size does not match the signed Release:" >&2
    echo "  $count packages, $same of them the same as in verified lists, none different" >&2
    taken=$((taken + 1))
done
[ "$taken" -gt 0 ]
