// large_images.h - copies of a module with a section added and one far
// pointer moved into it, the section holding a list as long as the table
// reader takes, or one that many pointers share: the costliest images a
// downloaded file can be, for the tests and the benchmarks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "pe/image.h"
#include "pe/pe_format.h"
#include "support/image_bytes.h"
#include "tables/tables.h"

namespace wendol::test {

using Bytes = std::vector<uint8_t>;

inline uint32_t align_up(uint32_t value, uint32_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

// Where the section table fills the headers, makes them one file alignment
// longer: the sections' data moves down in the file, their RVAs stay.
inline void grow_headers_for_one_more_section(Bytes &bytes)
{
    const PeFile file(bytes);
    const Headers &h = file.headers();
    const size_t table_end = file.sections().back().header_offset + pe::kSectionHeaderSize;
    if (table_end + pe::kSectionHeaderSize <= h.size_of_headers)
        return;
    const uint32_t grow = h.file_alignment;
    bytes.insert(bytes.begin() + h.size_of_headers, grow, 0);
    put_u32(bytes, h.optional_header_offset + pe::kOptSizeOfHeaders, h.size_of_headers + grow);
    for (const Section &s : file.sections())
        put_u32(bytes, s.header_offset + pe::kSectionPointerToRawData, s.raw_offset + grow);
}

// The RVA a section added after the last one gets.
inline uint32_t next_section_rva(const Bytes &bytes)
{
    const PeFile file(bytes);
    const Section &last = file.sections().back();
    return align_up(last.virtual_address + std::max(last.virtual_size, last.raw_size),
                    file.headers().section_alignment);
}

// Adds a read-only data section holding `data` at next_section_rva().  The
// checksum is left stale: the verifier warns.
inline void append_section(Bytes &bytes, const Bytes &data)
{
    grow_headers_for_one_more_section(bytes);
    const PeFile file(bytes);
    const Headers &h = file.headers();
    const size_t header = file.sections().back().header_offset + pe::kSectionHeaderSize;
    const uint32_t rva = next_section_rva(bytes);
    const uint32_t raw = align_up(static_cast<uint32_t>(bytes.size()), h.file_alignment);
    const uint32_t raw_size = align_up(static_cast<uint32_t>(data.size()), h.file_alignment);
    const char name[8] = {'.', 'l', 'a', 'r', 'g', 'e', 0, 0};
    std::copy(name, name + pe::kSectionNameSize,
              bytes.begin() + static_cast<std::ptrdiff_t>(header + pe::kSectionName));
    put_u32(bytes, header + pe::kSectionVirtualSize, static_cast<uint32_t>(data.size()));
    put_u32(bytes, header + pe::kSectionVirtualAddress, rva);
    put_u32(bytes, header + pe::kSectionSizeOfRawData, raw_size);
    put_u32(bytes, header + pe::kSectionPointerToRawData, raw);
    put_u32(bytes, header + pe::kSectionCharacteristics, pe::kScnCntInitializedData | pe::kScnMemRead);
    const size_t count_field =
        h.optional_header_offset - pe::kFileHeaderSize + pe::kFileNumberOfSections;
    put_u16(bytes, count_field, static_cast<uint16_t>(file.sections().size() + 1));
    put_u32(bytes, h.optional_header_offset + pe::kOptSizeOfImage,
            align_up(rva + raw_size, h.section_alignment));
    bytes.resize(raw, 0);
    bytes.insert(bytes.end(), data.begin(), data.end());
    bytes.resize(raw + raw_size, 0);
}

// Where a list is written: the module's tables, and the address of the new
// section that holds it.  Far pointers the list holds itself have no base
// relocation, so such an image is typed at its own base only.
struct Place {
    const LayoutTables &tables;
    uint64_t address = 0;
};

// The module with the pointer in `slot` moved to a new section holding the
// list `make` writes.  The field keeps its base relocation.
inline Bytes with_list_moved(Bytes bytes, PointerSlot slot,
                             const std::function<Bytes(const Place &)> &make)
{
    const LayoutTables tables = read_tables(map_bytes(bytes));
    const PointerField *field = nullptr;
    for (const PointerField &f : tables.pointers)
        if (f.id.slot == slot && f.id.entry == 0)
            field = &f;
    if (!field)
        throw std::runtime_error("the module has no " + label({slot, 0}));
    const uint64_t address = PeFile(bytes).headers().image_base + next_section_rva(bytes);
    append_section(bytes, make(Place{tables, address}));
    put_u32(bytes, file_offset(bytes, field->field_rva), static_cast<uint32_t>(address));
    return bytes;
}

// `count` dead-key entries, each pair once: dead characters from U+0300 up,
// every base under each, composing to letters.
inline Bytes dead_key_list(uint32_t count)
{
    Bytes list((count + 1) * 8, 0);
    for (uint32_t i = 0; i < count; ++i) {
        put_u16(list, i * 8, static_cast<uint16_t>(0x0041 + i % 0x4000));       // base
        put_u16(list, i * 8 + 2, static_cast<uint16_t>(0x0300 + i / 0x4000));   // dead
        put_u16(list, i * 8 + 4, static_cast<uint16_t>(0x4E00 + i % 0x5000));   // composed
    }
    return list;
}

// `count` rows of the shape of the module's first table (vk, attributes,
// a cell per column), the virtual keys repeating: the platform takes a
// key's first row.
inline Bytes character_rows(uint32_t count, const CharTable &shape)
{
    const size_t row = shape.row_size;
    Bytes list((count + 1) * row, 0);
    for (uint32_t i = 0; i < count; ++i) {
        list[i * row] = static_cast<uint8_t>(1 + i % 0xFE);
        for (size_t c = 0; c < shape.columns; ++c)
            put_u16(list, i * row + 2 + 2 * c, static_cast<uint16_t>(0x4E00 + (i + c) % 0x5000));
    }
    return list;
}

// `count` E0 scan-code entries (scan code, pad, virtual key with flags).
inline Bytes e0_map(uint32_t count)
{
    Bytes list((count + 1) * 4, 0);
    for (uint32_t i = 0; i < count; ++i) {
        list[i * 4] = static_cast<uint8_t>(1 + i % 0x7F);
        put_u16(list, i * 4 + 2, static_cast<uint16_t>(0x0100 | (1 + i % 0xFE)));
    }
    return list;
}

inline void put_pointer(Bytes &b, size_t at, uint64_t address)
{
    put_u32(b, at, static_cast<uint32_t>(address));
    put_u32(b, at + 4, static_cast<uint32_t>(address >> 32));
}

// `tables` character tables of the module's first table's shape, every one
// pointing at the same `rows` rows: a list the file holds once and a
// reader that follows each pointer reads `tables` times.
inline Bytes shared_rows(uint32_t tables, uint32_t rows, const Place &place)
{
    const CharTable &shape = place.tables.char_tables.at(0);
    const size_t list_size = (tables + 1) * 16;
    Bytes list = character_rows(rows, shape);
    list.insert(list.begin(), list_size, 0);
    for (uint32_t i = 0; i < tables; ++i) {
        put_pointer(list, i * 16, place.address + list_size);
        list[i * 16 + 8] = shape.columns;
        list[i * 16 + 9] = shape.row_size;
    }
    return list;
}

// `tables` character tables of the module's first table's shape, each with
// `rows` rows of its own.
inline Bytes many_tables(uint32_t tables, uint32_t rows, const Place &place)
{
    const CharTable &shape = place.tables.char_tables.at(0);
    const size_t list_size = (tables + 1) * 16;
    const size_t rows_size = (rows + 1) * size_t{shape.row_size};   // with the end row
    Bytes list = character_rows(rows, shape);
    list.resize(rows_size, 0);
    Bytes all(list_size, 0);
    for (uint32_t i = 0; i < tables; ++i) {
        put_pointer(all, i * 16, place.address + list_size + i * rows_size);
        all[i * 16 + 8] = shape.columns;
        all[i * 16 + 9] = shape.row_size;
        all.insert(all.end(), list.begin(), list.end());
    }
    return all;
}

// `names` key names (scan codes 1..0x7F over and over), every one pointing
// at the same string of the longest length the reader takes, 1,023 units.
inline Bytes shared_name(uint32_t names, const Place &place)
{
    const size_t list_size = (names + 1) * 16;
    Bytes list(list_size + 1024 * 2, 0);
    for (uint32_t i = 0; i < names; ++i) {
        list[i * 16] = static_cast<uint8_t>(1 + i % 0x7F);
        put_pointer(list, i * 16 + 8, place.address + list_size);
    }
    for (size_t unit = 0; unit < 1023; ++unit)
        put_u16(list, list_size + 2 * unit, static_cast<uint16_t>('A' + unit % 26));
    return list;
}

// The costliest image found: 65,535 character tables of ten rows each,
// 3.9 MB of tables, just within the 4 MiB the reader takes in all.
inline Bytes longest_character_tables(Bytes module)
{
    return with_list_moved(std::move(module), PointerSlot::VkToWcharTable,
                           [](const Place &p) { return many_tables(0xFFFF, 10, p); });
}

}  // namespace wendol::test
