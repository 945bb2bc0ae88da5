#!/bin/sh
# Installs the Debian packages named on the command line that are missing,
# adding the i386 architecture first where one of them needs it.  Needs root
# only when something is missing.
set -eu

need() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed" || echo "$1"; }

missing=""
for p in "$@"; do
    missing="$missing $(need "$p")"
done
missing=$(echo $missing)
[ -z "$missing" ] && exit 0

echo "installing: $missing"
if [ "$(id -u)" -ne 0 ]; then
    echo "run as root, or install these Debian packages first: $missing" >&2
    exit 1
fi
case " $missing " in *":i386"*) dpkg --add-architecture i386 ;; esac
# A mirror in the middle of a sync serves index files of the wrong size for
# a while: try again, and if it still fails take what the mirror serves where
# it agrees with what apt verified.
log=$(mktemp)
for attempt in 1 2 3; do
    apt-get update -qq > "$log" 2>&1 && break
    cat "$log" >&2
    echo "apt-get update failed (attempt $attempt of 3)" >&2
    if [ "$attempt" -lt 3 ]; then
        sleep 20
    else
        sh "$(dirname "$0")/apt-stale-index.sh" "$log" || true
    fi
done
rm -f "$log"
for attempt in 1 2 3; do
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null && exit 0
    echo "apt-get install failed (attempt $attempt of 3)" >&2
    [ "$attempt" -lt 3 ] && sleep 20 && apt-get update -qq || true
done
exit 1
