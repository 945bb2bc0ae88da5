// test_damaged.cpp - hand-damaged copies of the module: the loader and the
// table reader refuse each with an Error that says what was expected and
// what was found, and nothing they are given makes them crash.
#include <gtest/gtest.h>

#include <sstream>

#include "pe/pe_format.h"
#include "report/layout_report.h"
#include "support/image_helpers.h"
#include "tables/descriptor_call.h"
#include "tables/tables.h"

namespace wendol {
namespace {

using test::error_of;
using test::get_u32;
using test::put_u16;
using test::put_u32;
using Bytes = std::vector<uint8_t>;

// Everything the toolkit does with a module: read, map, call, read tables.
void load_everything(Bytes bytes)
{
    const MappedImage image = test::map_bytes(std::move(bytes));
    std::ostringstream out;
    inspect(out, image);
}

void expect_refusal(const std::optional<std::string> &message,
                    const std::vector<std::string> &mentions)
{
    ASSERT_TRUE(message.has_value()) << "the damaged image was accepted";
    EXPECT_NE(message->find("expected"), std::string::npos) << *message;
    EXPECT_NE(message->find("found"), std::string::npos) << *message;
    for (const std::string &m : mentions)
        EXPECT_NE(message->find(m), std::string::npos) << "no \"" << m << "\" in: " << *message;
}

// Where things are in the undamaged module.
struct Landmarks {
    Bytes bytes = test::module_bytes();
    PeFile file{bytes};
    uint32_t nt = get_u32(bytes, pe::kDosNtOffsetField);
    uint32_t section_table = file.sections().front().header_offset;
    LayoutTables tables = read_tables(test::map_bytes(bytes));
    DescriptorCall call = call_descriptor(test::map_bytes(bytes));

    size_t offset(uint32_t rva) const { return test::file_offset(bytes, rva); }
    const PointerField &pointer(PointerId id) const
    {
        for (const PointerField &p : tables.pointers)
            if (p.id == id)
                return p;
        throw std::runtime_error("no pointer " + label(id));
    }
    const Section &section(const std::string &name) const
    {
        for (const Section &s : file.sections())
            if (s.name == name)
                return s;
        throw std::runtime_error("no section " + name);
    }
};

TEST(Damaged, TruncatedFilesAreRefused)
{
    const Landmarks at;
    const size_t lengths[] = {
        0, 1, 0x3B, 0x40, at.nt + 3, at.nt + 4 + 10, at.nt + 24 + 100, at.section_table + 20,
        at.file.headers().size_of_headers, at.bytes.size() / 2, at.bytes.size() - 1,
    };
    for (const size_t length : lengths) {
        SCOPED_TRACE("truncated to " + std::to_string(length) + " bytes");
        const Bytes prefix(at.bytes.begin(), at.bytes.begin() + static_cast<long>(length));
        expect_refusal(error_of([&] { PeFile{prefix}; }), {});
    }
}

struct HeaderDamage {
    const char *name;
    std::function<void(Bytes &, const Landmarks &)> damage;
    std::vector<std::string> mentions;
};

TEST(Damaged, BrokenHeadersAreRefused)
{
    const HeaderDamage cases[] = {
        {"DOS signature", [](Bytes &b, const Landmarks &) { b[0] = 'X'; }, {"\"MZ\""}},
        {"PE signature", [](Bytes &b, const Landmarks &at) { b[at.nt] = 'X'; },
         {"PE\\0\\0", "0x00004558"}},
        {"wrong machine", [](Bytes &b, const Landmarks &at) { put_u16(b, at.nt + pe::kPeSignatureSize + pe::kFileMachine, 0x1234); },
         {"0x14C", "0x1234"}},
        {"x64 machine on a PE32 header",
         [](Bytes &b, const Landmarks &at) { put_u16(b, at.nt + pe::kPeSignatureSize + pe::kFileMachine, pe::kMachineAmd64); },
         {"PE32+", "0x010B"}},
        {"no sections", [](Bytes &b, const Landmarks &at) { put_u16(b, at.nt + pe::kPeSignatureSize + pe::kFileNumberOfSections, 0); },
         {"NumberOfSections", "0"}},
        {"huge image", [](Bytes &b, const Landmarks &at) { put_u32(b, at.file.headers().optional_header_offset + pe::kOptSizeOfImage, 0x7FFFF000); },
         {"SizeOfImage", "0x7FFFF000"}},
        {"section beyond the file",
         [](Bytes &b, const Landmarks &at) {
             const size_t last = at.file.sections().back().header_offset;
             put_u32(b, last + pe::kSectionPointerToRawData, static_cast<uint32_t>(b.size()));
         },
         {"raw data inside the file", ".reloc"}},
        {"sections out of order",
         [](Bytes &b, const Landmarks &at) { put_u32(b, at.file.sections().at(1).header_offset + pe::kSectionVirtualAddress, 0x1000); },
         {"VirtualAddress"}},
    };
    for (const HeaderDamage &c : cases) {
        SCOPED_TRACE(c.name);
        const Landmarks at;
        Bytes bytes = at.bytes;
        c.damage(bytes, at);
        expect_refusal(error_of([&] { load_everything(bytes); }), c.mentions);
    }
}

TEST(Damaged, BrokenRelocationsAreRefused)
{
    const Landmarks at;
    const DataDirectory relocs = at.file.headers().directories[pe::kDirBaseReloc];
    const size_t block = at.offset(relocs.rva);
    const uint32_t page = get_u32(at.bytes, block);
    const Section &data = at.section(".data");
    // The highest page of .data, where an offset of 0xFFC falls past its end.
    const uint32_t last_page = (data.virtual_address + data.virtual_size - 1) & ~0xFFFu;
    ASSERT_LT(data.virtual_address + data.virtual_size, last_page + 0xFFC);

    const HeaderDamage cases[] = {
        {"a relocation outside every section",
         [&](Bytes &b, const Landmarks &) {
             put_u32(b, block, last_page);
             put_u16(b, block + 8, 0x3000 | 0xFFC);
         },
         {"outside every section", hex(last_page + 0xFFC).c_str()}},
        {"a block shorter than its header",
         [&](Bytes &b, const Landmarks &) { put_u32(b, block + pe::kRelocationBlockSizeField, 4); }, {"SizeOfBlock", "4"}},
        {"a block longer than the directory",
         [&](Bytes &b, const Landmarks &) { put_u32(b, block + pe::kRelocationBlockSizeField, 0x10000); },
         {"SizeOfBlock", "65536"}},
        {"a page not page-aligned",
         [&](Bytes &b, const Landmarks &) { put_u32(b, block, page + 2); }, {"page-aligned"}},
        {"a 64-bit relocation in a 32-bit image",
         [&](Bytes &b, const Landmarks &) {
             const uint16_t entry = static_cast<uint16_t>(b[block + 8] | b[block + 9] << 8);
             put_u16(b, block + 8, static_cast<uint16_t>(0xA000 | (entry & 0x0FFF)));
         },
         {"HIGHLOW", "type 10"}},
    };
    for (const HeaderDamage &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = at.bytes;
        c.damage(bytes, at);
        // Mapped away from the preferred base, so that relocations apply.
        expect_refusal(error_of([&] { test::map_bytes(bytes, 0x00400000); }), c.mentions);
    }
}

TEST(Damaged, BrokenExportsAreRefused)
{
    const Landmarks at;
    const size_t dir = at.offset(at.file.headers().directories[pe::kDirExport].rva);
    const HeaderDamage cases[] = {
        {"too many functions",
         [&](Bytes &b, const Landmarks &) { put_u32(b, dir + pe::kExportNumberOfFunctions, 0x7FFFFFFF); },
         {"NumberOfFunctions", "2147483647"}},
        {"more names than functions",
         [&](Bytes &b, const Landmarks &) { put_u32(b, dir + pe::kExportNumberOfNames, 5); }, {"NumberOfNames"}},
        {"a name outside the file",
         [&](Bytes &b, const Landmarks &) {
             put_u32(b, at.offset(get_u32(b, dir + pe::kExportAddressOfNames)), 0x00FFFF00);
         },
         {"export name", "0xFFFF00"}},
        {"a function outside the image",
         [&](Bytes &b, const Landmarks &) {
             const uint32_t functions = get_u32(b, dir + pe::kExportAddressOfFunctions);
             const uint32_t count = get_u32(b, dir + pe::kExportNumberOfFunctions);
             put_u32(b, at.offset(functions + 4 * (count - 1)), 0x00FFFF00);
         },
         {"export address table", "0xFFFF00"}},
    };
    for (const HeaderDamage &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = at.bytes;
        c.damage(bytes, at);
        expect_refusal(error_of([&] { load_everything(bytes); }), c.mentions);
    }
}

TEST(Damaged, BadMappingBasesAreRefused)
{
    expect_refusal(error_of([] { test::map_module(0x00412345); }), {"64 KiB", "0x412345"});
    expect_refusal(error_of([] { test::map_module(0x100000000); }), {"32-bit", "0x100000000"});
    expect_refusal(error_of([] { test::map_module(0); }), {"non-zero"});
}

// Pointer damage: the image still loads; the table reader refuses it.
TEST(Damaged, BrokenFarPointersAreRefused)
{
    const Landmarks at;
    const Headers &h = at.file.headers();
    const PointerField &dead = at.pointer({PointerSlot::DeadKey});
    const PointerField &modifiers = at.pointer({PointerSlot::CharModifiers});
    const Section &data = at.section(".data");
    const uint32_t gap = data.virtual_address + data.virtual_size + 0x10;
    ASSERT_EQ(section_holding(at.file.sections(), gap, 1), nullptr);

    const HeaderDamage cases[] = {
        {"moved outside the image",
         [&](Bytes &b, const Landmarks &) {
             put_u32(b, at.offset(dead.field_rva),
                     static_cast<uint32_t>(h.image_base + h.size_of_image + 0x100));
         },
         {dead.label(), "inside a section of the image",
          hex(h.image_base + h.size_of_image + 0x100)}},
        {"moved into the gap after .data",
         [&](Bytes &b, const Landmarks &) {
             put_u32(b, at.offset(dead.field_rva), static_cast<uint32_t>(h.image_base + gap));
         },
         {dead.label(), "inside a section"}},
        {"a high half made non-zero",
         [&](Bytes &b, const Landmarks &) { put_u32(b, at.offset(dead.field_rva + 4), 1); },
         {dead.label(), "zero high half", "0x00000001"}},
        {"misaligned",
         [&](Bytes &b, const Landmarks &) {
             put_u32(b, at.offset(modifiers.field_rva),
                     get_u32(b, at.offset(modifiers.field_rva)) + 2);
         },
         {modifiers.label(), "aligned to 8"}},
    };
    for (const HeaderDamage &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = at.bytes;
        c.damage(bytes, at);
        const MappedImage image = test::map_bytes(bytes);
        expect_refusal(error_of([&] { read_tables(image); }), c.mentions);
    }
}

TEST(Damaged, ACharacterTableWhoseRowSizeDisagreesIsRefused)
{
    const Landmarks at;
    const uint32_t list = at.pointer({PointerSlot::VkToWcharTable}).target_rva;
    Bytes bytes = at.bytes;
    bytes[at.offset(list + 9)] = static_cast<uint8_t>(at.tables.char_tables[0].row_size + 1);
    const MappedImage image = test::map_bytes(bytes);
    expect_refusal(error_of([&] { read_tables(image); }), {"aVkToWcharTable[0]", "cbSize"});
}

// A list whose end was removed: its pointer is aimed at the last bytes of
// .data, filled so that no record there ends it, and the reader must stop at
// the section's end.  The root is given, since the accessor's body is among
// the bytes filled.
TEST(Damaged, ListsWithoutTheirEndAreRefused)
{
    const Landmarks at;
    const Section &data = at.section(".data");
    const uint32_t tail = data.virtual_address + data.virtual_size - 8;
    ASSERT_EQ(tail % 8, 0u);

    struct Case {
        PointerId pointer;
        const char *mention;
    };
    std::vector<Case> cases = {
        {{PointerSlot::VscToVkE0}, "end record"},
        {{PointerSlot::VscToVkE1}, "end record"},
        {{PointerSlot::DeadKey}, "end record"},
        {{PointerSlot::VkToBit}, "end record"},
    };
    if (!at.tables.char_tables.empty())
        cases.push_back({{PointerSlot::CharTableRows, 0}, "end record"});
    if (!at.tables.key_names.empty())
        cases.push_back({{PointerSlot::KeyName, 0}, "NUL"});

    for (const Case &c : cases) {
        SCOPED_TRACE(label(c.pointer));
        Bytes bytes = at.bytes;
        for (uint32_t i = 0; i < 8; ++i)
            bytes[at.offset(tail + i)] = 0x41;
        put_u32(bytes, at.offset(at.pointer(c.pointer).field_rva),
                static_cast<uint32_t>(at.file.headers().image_base + tail));
        const MappedImage image = test::map_bytes(bytes);
        expect_refusal(error_of([&] { read_tables(image, at.tables.root_rva, PointerForm::Wow64); }),
                       {c.mention, "end of its section"});
    }
}

TEST(Damaged, AnAccessorOfAnotherFormIsRefused)
{
    const Landmarks at;
    struct Case {
        const char *name;
        uint32_t offset;   // into the body
        uint32_t value;
        std::vector<std::string> mentions;
    };
    const Case cases[] = {
        {"a call", 0, 0xE8, {"a call", "bytes E8", "mov/lea of an address"}},
        {"no return", at.call.body_size - 1, 0x99, {"bytes 00"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = at.bytes;
        bytes[at.offset(at.call.body_rva + c.offset)] = static_cast<uint8_t>(c.value);
        const MappedImage image = test::map_bytes(bytes);
        expect_refusal(error_of([&] { read_tables(image); }), c.mentions);
    }
}

TEST(Damaged, AnAccessorReturningAnAddressOutsideTheImageIsRefused)
{
    const Landmarks at;
    Bytes bytes = at.bytes;
    put_u32(bytes, at.offset(at.call.constant_rva), 0x7FFF0000);
    const MappedImage image = test::map_bytes(bytes);
    expect_refusal(error_of([&] { read_tables(image); }), {"inside the image", "0x7FFF0000"});
}

// No damage makes the toolkit read out of bounds or throw anything but
// Error: every byte of the headers and of the root record flipped in turn,
// a sample of the rest, and the file cut short at every length step.  (The
// sanitizers watch the reads.)
TEST(Damaged, NoDamageCrashesTheLoader)
{
    const Landmarks at;
    const Bytes &original = at.bytes;
    const size_t root = at.offset(at.tables.root_rva);
    auto worth_flipping = [&](size_t offset) {
        return offset < at.file.headers().size_of_headers ||
               (offset >= root && offset < root + 0x68) || offset % 11 == 0;
    };
    size_t refused = 0, accepted = 0;
    auto attempt = [&](Bytes bytes) {
        const auto error = error_of([&] {
            const MappedImage image = test::map_bytes(std::move(bytes));
            read_tables(image);
        });
        ++(error ? refused : accepted);
    };
    for (size_t offset = 0; offset < original.size(); ++offset) {
        if (!worth_flipping(offset))
            continue;
        Bytes bytes = original;
        bytes[offset] ^= 0xFF;
        attempt(std::move(bytes));
    }
    for (size_t length = 0; length < original.size(); length += 64)
        attempt(Bytes(original.begin(), original.begin() + static_cast<long>(length)));
    EXPECT_GT(refused, 0u);
    EXPECT_GT(accepted, 0u);
}

}  // namespace
}  // namespace wendol
