#!/bin/sh
# Installs Keyman's compilers into tools/keyman/node_modules from the
# committed package-lock.json, unless the copy of the lock that the last
# install left there is the same.
set -eu
cd "$(dirname "$0")/../tools/keyman"

command -v npm >/dev/null ||
    { echo "no npm: Keyman's compilers need Node.js 20 and npm" >&2; exit 1; }
installed=node_modules/.wendol-package-lock.json
if cmp -s package-lock.json "$installed" 2>/dev/null; then
    exit 0
fi
npm ci --no-audit --no-fund --loglevel=error
cp package-lock.json "$installed"
