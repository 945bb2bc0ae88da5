// bench_load.cpp - from the file's bytes to every table: the headers and
// directories read, the image mapped away from its base and relocated, the
// accessor interpreted and every table followed through its far pointers.
#include <benchmark/benchmark.h>

#include "bench_module.h"
#include "engine/keymap.h"

namespace wendol::bench {
namespace {

void BM_ReadFile(benchmark::State &state)
{
    const std::vector<uint8_t> &bytes = module_bytes();
    for (auto _ : state) {
        PeFile file(bytes);
        benchmark::DoNotOptimize(file.relocations().data());
    }
}
BENCHMARK(BM_ReadFile);

void BM_MapAndRelocate(benchmark::State &state)
{
    const PeFile file(module_bytes());
    for (auto _ : state) {
        MappedImage image(file, kForeignBase);
        benchmark::DoNotOptimize(image.memory().data());
    }
}
BENCHMARK(BM_MapAndRelocate);

void BM_ReadTables(benchmark::State &state)
{
    const MappedImage image(PeFile(module_bytes()), kForeignBase);
    for (auto _ : state) {
        LayoutTables tables = read_tables(image);
        benchmark::DoNotOptimize(tables.pointers.data());
    }
}
BENCHMARK(BM_ReadTables);

// The whole way, as a program that loads the layout does it.
void BM_LoadRelocateAndReadEveryTable(benchmark::State &state)
{
    const std::vector<uint8_t> &bytes = module_bytes();
    for (auto _ : state) {
        const MappedImage image(PeFile(bytes), kForeignBase);
        LayoutTables tables = read_tables(image);
        benchmark::DoNotOptimize(tables.pointers.data());
    }
}
BENCHMARK(BM_LoadRelocateAndReadEveryTable);

// And the tables compiled into the keymap every reader asks.
void BM_LoadReadAndCompile(benchmark::State &state)
{
    const std::vector<uint8_t> &bytes = module_bytes();
    for (auto _ : state) {
        const MappedImage image(PeFile(bytes), kForeignBase);
        const Keymap keymap(read_tables(image));
        benchmark::DoNotOptimize(keymap.scan_codes().data());
    }
}
BENCHMARK(BM_LoadReadAndCompile);

}  // namespace
}  // namespace wendol::bench
