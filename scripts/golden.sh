#!/bin/sh
# Rewrites the kept dumps in tests/golden/ from the modules the build made:
# `wendol inspect` (<variant>.layout.txt) and `wendol resources` of each.
# Run after a deliberate change to the tables or to the dump, and review the
# diff: every changed row of a table shows as a changed line.  BUILD names another build folder.
set -eu
cd "$(dirname "$0")/.."

build=${BUILD:-build}
for variant in wow64 x86 x64 arm64; do
    case $variant in
        wow64) dll=$build/module/Wendol.dll ;;
        *) dll=$build/module/$variant/Wendol.dll ;;
    esac
    [ -f "$dll" ] || { echo "no $dll: run scripts/build.sh first" >&2; exit 1; }
    "$build/wendol" inspect "$dll" > "tests/golden/$variant.layout.txt"
    "$build/wendol" resources "$dll" > "tests/golden/$variant.resources.txt"
done
git status --short tests/golden
