#!/bin/sh
# Installs what the chart needs beyond the build: Chromium, for the README
# picture and the chart's rendering test, and the fonts the chart names
# (chart/FONTS.md).  Installs only what is missing; needs root for that.
set -eu

packages="chromium fonts-dejavu-core fonts-noto-core fonts-unifont"

need() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed" || echo "$1"; }

missing=""
for p in $packages; do
    missing="$missing $(need "$p")"
done
missing=$(echo $missing)
[ -z "$missing" ] && exit 0

echo "installing: $missing"
if [ "$(id -u)" -ne 0 ]; then
    echo "run as root, or install these Debian packages first: $missing" >&2
    exit 1
fi
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
