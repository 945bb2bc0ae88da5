// bench_module.h - the module the benchmarks work on: the build's
// Wendol.dll, or the one WENDOL_DLL names.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/keymap.h"
#include "pe/image.h"
#include "tables/tables.h"

namespace wendol::bench {

constexpr uint64_t kForeignBase = 0x7FFE0000;   // every relocation applies

inline std::string module_path()
{
    const char *path = std::getenv("WENDOL_DLL");
    return path && *path ? path : WENDOL_BENCH_DLL;
}

inline const std::vector<uint8_t> &module_bytes()
{
    static const std::vector<uint8_t> bytes = PeFile::read(module_path()).bytes();
    return bytes;
}

inline const Keymap &module_keymap()
{
    static const std::unique_ptr<const Keymap> keymap = [] {
        const MappedImage image(PeFile(module_bytes()), kForeignBase);
        return std::make_unique<const Keymap>(read_tables(image));
    }();
    return *keymap;
}

}  // namespace wendol::bench
