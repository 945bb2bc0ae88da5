#!/bin/sh
# Builds the toolkit's benchmarks in Release without sanitizers into
# build-bench/ and runs them, then tells what the modules' bytes are spent
# on.  Extra arguments go to the benchmark program (--benchmark_filter=...).
set -eu
cd "$(dirname "$0")/.."

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release \
    -DWENDOL_SANITIZE=OFF -DWENDOL_TESTS=OFF -DWENDOL_BENCH=ON >/dev/null
cmake --build build-bench -j2 --target wendol_bench module_size

build-bench/bench/wendol_bench --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true "$@"
build-bench/bench/module_size build-bench/module/Wendol.dll build-bench/module/*/Wendol.dll
