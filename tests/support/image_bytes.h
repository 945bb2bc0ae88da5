// image_bytes.h - images as bytes: read, written, mapped, and damaged by
// hand at a field, a file offset or a relocation entry.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/error.h"
#include "pe/image.h"
#include "pe/pe_format.h"
#include "pe/sections.h"

namespace wendol::test {

inline std::vector<uint8_t> read_bytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_bytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

// Maps the bytes at `base`, or at the preferred base when none is given.
inline MappedImage map_bytes(std::vector<uint8_t> bytes, std::optional<uint64_t> base = {})
{
    PeFile file(std::move(bytes));
    const uint64_t at = base ? *base : file.headers().image_base;
    return MappedImage(std::move(file), at);
}

// The file offset that holds `rva` in the (undamaged) module.
inline size_t file_offset(const std::vector<uint8_t> &bytes, uint32_t rva)
{
    const PeFile file(bytes);
    const Section *s = section_holding(file.sections(), rva, 1);
    if (!s || rva - s->virtual_address >= s->raw_size)
        throw std::runtime_error("RVA " + hex(rva) + " has no file data");
    return s->raw_offset + (rva - s->virtual_address);
}

inline void put_u16(std::vector<uint8_t> &bytes, size_t at, uint16_t value)
{
    bytes.at(at) = static_cast<uint8_t>(value);
    bytes.at(at + 1) = static_cast<uint8_t>(value >> 8);
}

inline void put_u32(std::vector<uint8_t> &bytes, size_t at, uint32_t value)
{
    for (unsigned i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
}

inline uint32_t get_u32(const std::vector<uint8_t> &bytes, size_t at)
{
    uint32_t value = 0;
    for (unsigned i = 4; i-- > 0;)
        value = value << 8 | bytes.at(at + i);
    return value;
}

// The file offset of the base relocation entry that patches `rva` (padding
// skipped) in the (undamaged) module.
inline size_t relocation_entry(const std::vector<uint8_t> &bytes, uint32_t rva)
{
    const PeFile file(bytes);
    const DataDirectory dir = file.headers().directories.at(pe::kDirBaseReloc);
    for (uint32_t at = dir.rva; at < dir.rva + dir.size;) {
        const uint32_t page = get_u32(bytes, file_offset(bytes, at));
        const uint32_t size = get_u32(bytes, file_offset(bytes, at + 4));
        for (uint32_t e = 8; e + 2 <= size; e += 2) {
            const size_t entry = file_offset(bytes, at + e);
            if ((bytes.at(entry) | (bytes.at(entry + 1) & 0x0F) << 8) + page == rva &&
                bytes.at(entry + 1) >> 4 != 0)
                return entry;
        }
        at += size;
    }
    throw std::runtime_error("no relocation at " + hex(rva));
}

// The message of the Error that `step` throws, or nothing if it succeeds.
// Any other exception escapes and fails the test.
inline std::optional<std::string> error_of(const std::function<void()> &step)
{
    try {
        step();
    } catch (const Error &e) {
        return std::string(e.what());
    }
    return std::nullopt;
}

}  // namespace wendol::test
