#!/bin/sh
# Builds the libFuzzer targets (the fuzz preset: clang 14, ASan, UBSan) into
# build-fuzz/ and runs the image fuzzer for a bounded time, seeded with the
# built modules and the committed corpus.  Exits non-zero on any crash,
# leak, timeout or sanitizer report; the input that caused it is left in
# build-fuzz/ as crash-*, leak-* or timeout-*.
#
#   sh scripts/fuzz.sh                  two minutes
#   FUZZ_SECONDS=600 sh scripts/fuzz.sh
#
# The fuzz build makes the modules it is seeded with.  To refresh the
# committed corpus, merge what a run found into a fresh folder and keep a
# handful of the smallest inputs that add coverage:
#   build-fuzz/fuzz/fuzz_image -merge=1 /tmp/merged fuzz/corpus build-fuzz/corpus
set -eu
cd "$(dirname "$0")/.."

out=build-fuzz
seconds=${FUZZ_SECONDS:-120}

# libFuzzer and the sanitizers' runtimes come with clang's compiler-rt,
# which Debian only recommends alongside clang.
sh scripts/install-packages.sh clang-14 libclang-rt-14-dev

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_image module_wow64 module_x86 module_x64 module_arm64

mkdir -p "$out/corpus"
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
for dll in "$out"/module/Wendol.dll "$out"/module/*/Wendol.dll; do
    variant=$(basename "$(dirname "$dll")")
    cp "$dll" "$seeds/$variant.dll"
done

echo "fuzzing for $seconds seconds"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
"$out/fuzz/fuzz_image" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$out/" -dict=fuzz/image.dict \
    "$out/corpus" "$seeds" fuzz/corpus
