#!/bin/sh
# run_32bit.sh - runs a test that needs Wine's 32-bit loader, where this
# machine can run 32-bit programs.  A kernel built without IA-32 emulation
# refuses them ("Exec format error", status 126): then the test says so and
# exits 77, which ctest reports as skipped, not as the module failing.
#
# usage: run_32bit.sh WINE COMMAND ARGS...   (WINE: Wine's `wine`)
wine=$1
shift
"$wine" --version >/dev/null 2>&1
if [ $? -eq 126 ]; then
    echo "skipped: this machine's kernel cannot run 32-bit programs, and Wine's 32-bit loader is one"
    exit 77
fi
exec "$@"
