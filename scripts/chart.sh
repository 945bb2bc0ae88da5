#!/bin/sh
# Draws the chart of the built module into <build>/chart/ and takes its
# picture, <build>/chart/chart.png, from the page in headless Chromium.
# Writes nothing outside the build folder; `--readme` also copies the
# picture to docs/chart.png, the README's, a deliberate step to take when
# the layout or the chart changes.  Run after scripts/build.sh;
# scripts/chart-deps.sh installs Chromium and the fonts.  BUILD names
# another build folder than build/.
#
#   sh scripts/chart.sh             build/chart/
#   sh scripts/chart.sh --readme    build/chart/ and docs/chart.png
set -eu
cd "$(dirname "$0")/.."

build=${BUILD:-build}
module=$build/module/Wendol.dll
[ -f "$module" ] || { echo "no $module: run scripts/build.sh first" >&2; exit 1; }
command -v chromium >/dev/null || { echo "no chromium: run scripts/chart-deps.sh first" >&2; exit 1; }

"$build/wendol" chart "$module" --out "$build/chart" >/dev/null
# The chart's files are named after the module: Wendol.dll draws wendol.html,
# wendol.svg (Caps Lock off), wendol-caps-lock.svg and wendol-keypad.svg.
page=$(basename "$module" .dll | tr '[:upper:]' '[:lower:]').html

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
picture=$PWD/$build/chart/chart.png
rm -f "$picture"
# The window holds the first drawing, Caps Lock off, with its legend.
chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --user-data-dir="$profile" \
    --hide-scrollbars --window-size=1400,740 --screenshot="$picture" \
    "file://$PWD/$build/chart/$page" >/dev/null 2>&1
[ -s "$picture" ] || { echo "chromium took no screenshot" >&2; exit 1; }
echo "$build/chart/$page, $build/chart/chart.png"

if [ "${1:-}" = "--readme" ]; then
    cp "$picture" docs/chart.png
    echo "docs/chart.png"
fi
