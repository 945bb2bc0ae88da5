#!/bin/sh
# Draws the chart of build/module/Wendol.dll into build/chart/ and takes the
# README picture, docs/chart.png, from its page in headless Chromium.
# Run after scripts/build.sh; scripts/chart-deps.sh installs Chromium and
# the fonts.  Running it again redraws and retakes both.  BUILD names
# another build folder than build/.
set -eu
cd "$(dirname "$0")/.."

build=${BUILD:-build}
module=$build/module/Wendol.dll
[ -f "$module" ] || { echo "no $module: run scripts/build.sh first" >&2; exit 1; }
command -v chromium >/dev/null || { echo "no chromium: run scripts/chart-deps.sh first" >&2; exit 1; }

"$build/wendol" chart "$module" --out "$build/chart" >/dev/null

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
mkdir -p docs
rm -f docs/chart.png
# The window holds the first drawing, Caps Lock off, with its legend.
chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --user-data-dir="$profile" \
    --hide-scrollbars --window-size=1400,740 --screenshot="$PWD/docs/chart.png" \
    "file://$PWD/$build/chart/wendol.html" >/dev/null 2>&1
[ -s docs/chart.png ] || { echo "chromium took no screenshot" >&2; exit 1; }
echo "$build/chart/wendol.html, docs/chart.png"
