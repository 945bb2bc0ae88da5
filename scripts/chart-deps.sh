#!/bin/sh
# Installs what the chart needs beyond the build: Chromium, for the README
# picture and the chart's rendering test, and the fonts the chart names
# (chart/FONTS.md).
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-packages.sh chromium fonts-dejavu-core fonts-noto-core fonts-unifont
