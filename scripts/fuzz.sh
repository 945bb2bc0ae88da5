#!/bin/sh
# Builds the image fuzzer (libFuzzer, ASan, UBSan; clang) into build-fuzz/
# and runs it for a bounded time, seeded with the built modules and the
# committed corpus.  Exits non-zero on any crash, leak, timeout or sanitizer
# report; the input that caused it is left in build-fuzz/ as crash-*,
# leak-* or timeout-*.
#
#   sh scripts/fuzz.sh                  two minutes
#   FUZZ_SECONDS=600 sh scripts/fuzz.sh
#   WENDOL_MODULES=build-x/module sh scripts/fuzz.sh
#
# The modules are taken from build/module (or WENDOL_MODULES); where none
# is built, the script builds them itself without the toolkit.
#
# To refresh the committed corpus, merge what a run found into a fresh
# folder and keep a handful of the smallest inputs that add coverage:
#   build-fuzz/fuzz_image -merge=1 /tmp/merged fuzz/corpus build-fuzz/corpus
set -eu
cd "$(dirname "$0")/.."

out=build-fuzz
seconds=${FUZZ_SECONDS:-120}
modules=${WENDOL_MODULES:-build/module}
cxx=$(command -v clang++-14 || command -v clang++)
mkdir -p "$out/corpus"

# libFuzzer and the sanitizers' runtimes come with clang's compiler-rt,
# which Debian only recommends alongside clang.
if command -v dpkg-query >/dev/null &&
   ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed"; then
    echo "fuzz.sh: the Debian package libclang-rt-14-dev (libFuzzer) is needed" >&2
    exit 1
fi

# The toolkit's sources are compiled into the target itself, instrumented.
# Comparisons are not traced: the reverse lookup compares every cell of
# every table for every character, and tracing them made each run four
# times slower; the dictionary supplies the values worth trying instead.
echo "building $out/fuzz_image"
"$cxx" -std=c++20 -g -O2 -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -fno-sanitize-coverage=trace-cmp \
    -Ihost host/*.cpp fuzz/fuzz_image.cpp -o "$out/fuzz_image"

if ! ls "$modules"/Wendol.dll >/dev/null 2>&1; then
    echo "no modules in $modules: building them in $out/modules"
    cmake -S . -B "$out/modules" -DWENDOL_TOOLKIT=OFF >/dev/null
    cmake --build "$out/modules" -j2 >/dev/null
    modules=$out/modules/module
fi

seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
for dll in "$modules"/Wendol.dll "$modules"/*/Wendol.dll; do
    [ -f "$dll" ] || continue
    variant=$(basename "$(dirname "$dll")")
    cp "$dll" "$seeds/$variant.dll"
done

echo "fuzzing for $seconds seconds"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
"$out/fuzz_image" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$out/" -dict=fuzz/image.dict \
    "$out/corpus" "$seeds" fuzz/corpus
