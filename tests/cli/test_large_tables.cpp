// test_large_tables.cpp - what an image with the longest tables the reader
// takes makes the commands spend.  Each image is a copy of the module with
// a section added and one far pointer moved into it: a dead-key list, an
// E0 scan-code map, a character table and a list of character tables of
// 65,535 entries each are read by every command a user runs on a
// downloaded image, in bounded time and with bounded findings; lists that
// thousands of pointers share, which would make the reader copy one list
// thousands of times, are refused.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "pe/image.h"
#include "pe/pe_format.h"
#include "support/image_helpers.h"
#include "support/in_process.h"
#include "tables/tables.h"

namespace wendol::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

uint32_t align_up(uint32_t value, uint32_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

// Where the section table fills the headers, makes them one file alignment
// longer: the sections' data moves down in the file, their RVAs stay.
void grow_headers_for_one_more_section(Bytes &bytes)
{
    const PeFile file(bytes);
    const Headers &h = file.headers();
    const size_t table_end = file.sections().back().header_offset + pe::kSectionHeaderSize;
    if (table_end + pe::kSectionHeaderSize <= h.size_of_headers)
        return;
    const uint32_t grow = h.file_alignment;
    bytes.insert(bytes.begin() + h.size_of_headers, grow, 0);
    put_u32(bytes, h.optional_header_offset + 60, h.size_of_headers + grow);
    for (const Section &s : file.sections())
        put_u32(bytes, s.header_offset + 20, s.raw_offset + grow);
}

// The RVA a section added after the last one gets.
uint32_t next_section_rva(const Bytes &bytes)
{
    const PeFile file(bytes);
    const Section &last = file.sections().back();
    return align_up(last.virtual_address + std::max(last.virtual_size, last.raw_size),
                    file.headers().section_alignment);
}

// Adds a read-only data section holding `data` at next_section_rva().  The
// checksum is left stale: the verifier warns.
void append_section(Bytes &bytes, const Bytes &data)
{
    grow_headers_for_one_more_section(bytes);
    const PeFile file(bytes);
    const Headers &h = file.headers();
    const size_t header = file.sections().back().header_offset + pe::kSectionHeaderSize;
    const uint32_t rva = next_section_rva(bytes);
    const uint32_t raw = align_up(static_cast<uint32_t>(bytes.size()), h.file_alignment);
    const uint32_t raw_size = align_up(static_cast<uint32_t>(data.size()), h.file_alignment);
    const char name[8] = {'.', 'l', 'a', 'r', 'g', 'e', 0, 0};
    std::copy(name, name + 8, bytes.begin() + static_cast<std::ptrdiff_t>(header));
    put_u32(bytes, header + 8, static_cast<uint32_t>(data.size()));
    put_u32(bytes, header + 12, rva);
    put_u32(bytes, header + 16, raw_size);
    put_u32(bytes, header + 20, raw);
    put_u32(bytes, header + 36, pe::kScnCntInitializedData | pe::kScnMemRead);
    const size_t count_field = h.optional_header_offset - pe::kFileHeaderSize + 2;
    put_u16(bytes, count_field, static_cast<uint16_t>(file.sections().size() + 1));
    put_u32(bytes, h.optional_header_offset + 56, align_up(rva + raw_size, h.section_alignment));
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
Bytes with_list_moved(PointerSlot slot, const std::function<Bytes(const Place &)> &make)
{
    Bytes bytes = module_bytes();
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
Bytes dead_key_list(uint32_t count)
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
Bytes character_rows(uint32_t count, const CharTable &shape)
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
Bytes e0_map(uint32_t count)
{
    Bytes list((count + 1) * 4, 0);
    for (uint32_t i = 0; i < count; ++i) {
        list[i * 4] = static_cast<uint8_t>(1 + i % 0x7F);
        put_u16(list, i * 4 + 2, static_cast<uint16_t>(0x0100 | (1 + i % 0xFE)));
    }
    return list;
}

void put_pointer(Bytes &b, size_t at, uint64_t address)
{
    put_u32(b, at, static_cast<uint32_t>(address));
    put_u32(b, at + 4, static_cast<uint32_t>(address >> 32));
}

// `tables` character tables of the module's first table's shape, every one
// pointing at the same `rows` rows: a list the file holds once and a
// reader that follows each pointer reads `tables` times.
Bytes shared_rows(uint32_t tables, uint32_t rows, const Place &place)
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
Bytes many_tables(uint32_t tables, uint32_t rows, const Place &place)
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
Bytes shared_name(uint32_t names, const Place &place)
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

struct LargeImage {
    const char *what;
    std::function<Bytes()> make;
    bool repeats = false;   // entries repeat: a warning each, past what is listed
};

// Lists as long as the reader takes, 65,535 entries each, in a file of a
// few hundred kilobytes; and 65,535 character tables of ten rows each,
// 3.9 MB, just within the 4 MiB of tables the reader takes in all.
const LargeImage kLongLists[] = {
    {"dead-key list",
     [] { return with_list_moved(PointerSlot::DeadKey, [](const Place &) { return dead_key_list(0xFFFF); }); }},
    {"E0 scan-code map",
     [] { return with_list_moved(PointerSlot::VscToVkE0, [](const Place &) { return e0_map(0xFFFF); }); },
     true},
    {"character table",
     [] {
         return with_list_moved(PointerSlot::CharTableRows, [](const Place &p) {
             return character_rows(0xFFFF, p.tables.char_tables.at(0));
         });
     },
     true},
    {"character tables",
     [] {
         return with_list_moved(PointerSlot::VkToWcharTable,
                                [](const Place &p) { return many_tables(0xFFFF, 10, p); });
     },
     true},
};

// Lists the file holds once and pointers lead to many times: 4,096
// character tables over one list of 65,535 rows (268 million rows to copy),
// and 65,535 key names over one string of 1,023 units (128 MiB of text).
const LargeImage kSharedLists[] = {
    {"tables sharing rows",
     [] {
         return with_list_moved(PointerSlot::VkToWcharTable,
                                [](const Place &p) { return shared_rows(4096, 0xFFFF, p); });
     }},
    {"names sharing a string",
     [] { return with_list_moved(PointerSlot::KeyNames, [](const Place &p) { return shared_name(0xFFFF, p); }); }},
};

// What a user runs on a downloaded image.
std::vector<std::vector<std::string>> commands_on(const fs::path &image, const fs::path &dir)
{
    return {
        {"verify", image.string()},
        {"inspect", image.string()},
        {"type", image.string(), "a", "b", "AltGr+e"},
        {"find", image.string(), "é"},
        {"chart", image.string(), "--out", (dir / "chart").string()},
        {"xkb", image.string(), "--out", (dir / "xkb").string()},
    };
}

constexpr double kSecondsPerCommand = 10;

class LargeTables : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const LargeImage &large)
    {
        const fs::path path = dir_ / "large.dll";
        write_bytes(path.string(), large.make());
        return path;
    }

    const fs::path dir_ =
        fs::temp_directory_path() / ("wendol-large-" + std::to_string(::getpid()));
};

TEST_F(LargeTables, TheLongestListsAreReadByEveryCommandInBoundedTime)
{
    for (const LargeImage &large : kLongLists) {
        const fs::path image = write(large);
        for (const auto &command : commands_on(image, dir_)) {
            SCOPED_TRACE(std::string(large.what) + ", " + command[0]);
            const InProcessRun o = run_in_process(command);
            EXPECT_LT(o.seconds, kSecondsPerCommand);
            if (command[0] == "verify") {
                // A fault in each of 65,535 entries is 100 findings and a count.
                EXPECT_LT(o.out.size(), 200'000u);
                EXPECT_TRUE(o.exit_code == 0 || o.exit_code == 1) << o.err;
                if (large.repeats) {
                    EXPECT_NE(o.out.find("more like the 100 above, not listed"), std::string::npos)
                        << o.out.substr(0, 2000);
                }
            } else {
                EXPECT_EQ(o.exit_code, 0) << o.err;
            }
        }
    }
}

TEST_F(LargeTables, ListsReadAgainThroughManyPointersAreRefused)
{
    for (const LargeImage &large : kSharedLists) {
        const fs::path image = write(large);
        EXPECT_LT(fs::file_size(image), 1'200'000u);
        for (const auto &command : commands_on(image, dir_)) {
            SCOPED_TRACE(std::string(large.what) + ", " + command[0]);
            const InProcessRun o = run_in_process(command);
            EXPECT_EQ(o.exit_code, 1);
            EXPECT_LT(o.seconds, kSecondsPerCommand);
            const std::string said = command[0] == "verify" ? o.out : o.err;
            EXPECT_NE(said.find("bytes in all (twice the image's size plus 0x10000, at most 0x400000)"),
                      std::string::npos)
                << said;
        }
    }
}

TEST_F(LargeTables, TablesPastFourMiBInAllAreRefused)
{
    const LargeImage large = {"character tables past 4 MiB", [] {
        return with_list_moved(PointerSlot::VkToWcharTable,
                               [](const Place &p) { return many_tables(0xFFFF, 12, p); });
    }};
    const fs::path image = write(large);
    for (const auto &command : commands_on(image, dir_)) {
        SCOPED_TRACE(command[0]);
        const InProcessRun o = run_in_process(command);
        EXPECT_EQ(o.exit_code, 1);
        EXPECT_LT(o.seconds, kSecondsPerCommand);
        const std::string said = command[0] == "verify" ? o.out : o.err;
        EXPECT_NE(said.find("expected tables of at most 0x400000 bytes in all"), std::string::npos)
            << said;
    }
}

}  // namespace
}  // namespace wendol::test
