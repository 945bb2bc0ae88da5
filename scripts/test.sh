#!/bin/sh
# Runs every test: the toolkit's (under ASan and UBSan), the module's through
# the toolkit, and the module under Wine's loader.
set -eu
cd "$(dirname "$0")/.."
ctest --preset checked
