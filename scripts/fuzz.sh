#!/bin/sh
# Builds the libFuzzer targets (the fuzz preset: clang 14, ASan, UBSan) into
# build-fuzz/ and runs each for an equal share of a bounded time: the PE
# reader and mapper, the resources, the tables, the engine, the whole
# verifier and the .klc reader.  The image targets are seeded with the built
# modules and the test layouts; every target also with its committed corpus in
# fuzz/corpus/<target>/.  Exits non-zero on any crash, leak, timeout or
# sanitizer report; the input that caused it is left in build-fuzz/ as
# <target>-crash-*, -leak-* or -timeout-*.
#
#   sh scripts/fuzz.sh                      three minutes in all
#   FUZZ_SECONDS=1800 sh scripts/fuzz.sh    half an hour
#   sh scripts/fuzz.sh fuzz_tables          one target, for the whole time
#   sh scripts/fuzz.sh --merge              refresh the committed corpora
#
# --merge folds what the runs found (build-fuzz/corpus/<target>/) into the
# committed corpora, keeping only inputs that reach code the seeds do not,
# the smallest for each edge (edges only, not their hit counts, so that the
# corpora stay small; the runs themselves use the counts).
set -eu
cd "$(dirname "$0")/.."

out=build-fuzz
seconds=${FUZZ_SECONDS:-180}
all_targets="fuzz_pe fuzz_resources fuzz_tables fuzz_engine fuzz_verify fuzz_klc"
merge=no
targets=
for arg in "$@"; do
    case $arg in
        --merge) merge=yes ;;
        fuzz_*) targets="$targets $arg" ;;
        *) echo "fuzz.sh: unknown argument \"$arg\"; expected --merge or a target: $all_targets" >&2
           exit 2 ;;
    esac
done
targets=${targets:-$all_targets}

# libFuzzer and the sanitizers' runtimes come with clang's compiler-rt,
# which Debian only recommends alongside clang.
sh scripts/install-packages.sh clang-14 libclang-rt-14-dev

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# The images the image targets start from: every form of the module, and
# the test layouts, which use what the module does not.
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
for dll in "$out"/module/Wendol.dll "$out"/module/*/Wendol.dll; do
    variant=$(basename "$(dirname "$dll")")
    cp "$dll" "$seeds/wendol-$variant.dll"
done
for dll in "$out"/test_layouts/*/*/*.dll; do
    variant=$(basename "$(dirname "$dll")")
    cp "$dll" "$seeds/$(basename "$dll" .dll)-$variant.dll"
done

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

starting_points() {
    case $1 in
        fuzz_engine|fuzz_klc) ;;
        *) echo "$seeds" ;;
    esac
}

options() {
    case $1 in
        fuzz_engine) echo "-max_len=512" ;;
        fuzz_klc) echo "-max_len=8192 -dict=fuzz/klc.dict" ;;
        *) echo "-dict=fuzz/image.dict" ;;
    esac
}

if [ "$merge" = yes ]; then
    for target in $targets; do
        committed=fuzz/corpus/$target
        merged=$(mktemp -d)
        # The seeds go in first, so that only what adds to them is kept.
        for seed in $(starting_points "$target"); do cp "$seed"/* "$merged"/; done
        "$out/fuzz/$target" -merge=1 -use_counters=0 $(options "$target") "$merged" \
            "$committed" "$out/corpus/$target" 2>&1 | grep -E '^MERGE-OUTER: [0-9]+ new files' || true
        for seed in $(starting_points "$target"); do
            for file in "$seed"/*; do rm -f "$merged/$(basename "$file")"; done
        done
        rm -rf "$committed"
        mkdir -p "$committed"
        cp "$merged"/* "$committed"/ 2>/dev/null || true
        rm -rf "$merged"
        echo "$target: $(ls "$committed" | wc -l) inputs, $(du -sk "$committed" | cut -f1) KiB"
    done
    exit 0
fi

count=$(echo $targets | wc -w)
share=$((seconds / count))
status=0
for target in $targets; do
    mkdir -p "$out/corpus/$target" "fuzz/corpus/$target"
    echo "$target: fuzzing for $share seconds"
    # shellcheck disable=SC2046
    if ! "$out/fuzz/$target" -max_total_time="$share" -rss_limit_mb=2048 -timeout=10 \
            -print_final_stats=1 -artifact_prefix="$out/$target-" $(options "$target") \
            "$out/corpus/$target" $(starting_points "$target") "fuzz/corpus/$target" \
            >"$out/$target.log" 2>&1; then
        echo "$target: a finding; the log is $out/$target.log" >&2
        tail -n 40 "$out/$target.log" >&2
        status=1
    fi
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$out/$target.log" |
        sed "s/^/$target: /"
done
exit $status
