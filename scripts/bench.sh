#!/bin/sh
# Builds the toolkit's benchmarks in Release without sanitizers (the
# release preset, build-release/) and runs them, then tells what the
# modules' bytes are spent on.  Extra arguments go to the benchmark program (--benchmark_filter=...).
set -eu
cd "$(dirname "$0")/.."

cmake --preset release >/dev/null
cmake --build --preset release --target wendol_bench module_size

build-release/bench/wendol_bench --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true "$@"
build-release/bench/module_size build-release/module/Wendol.dll build-release/module/*/Wendol.dll
