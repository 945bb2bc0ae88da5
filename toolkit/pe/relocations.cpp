// relocations.cpp - the base relocation directory: blocks of 16-bit entries,
// each a type in the top four bits and an offset into the block's page.
#include "base/error.h"
#include "pe/pe_format.h"
#include "pe_parts.h"

namespace wendol {

namespace {

// How many bytes a relocation of this type patches; 1 for types the toolkit
// does not apply, so at least their first byte is checked.
uint32_t patched_width(uint16_t type)
{
    switch (type) {
    case pe::kRelHigh:
    case pe::kRelLow:
        return 2;
    case pe::kRelHighLow:
        return 4;
    case pe::kRelDir64:
        return 8;
    default:
        return 1;
    }
}

void read_block(const FileRva &file, uint32_t page, uint32_t entries_rva, uint32_t count,
                const std::vector<Section> &sections, std::vector<BaseRelocation> &out)
{
    for (uint32_t i = 0; i < count; ++i) {
        const uint16_t entry = file.u16(entries_rva + 2 * i, "base relocation entry");
        const auto type = static_cast<uint16_t>(entry >> pe::kRelocationTypeShift);
        if (type == pe::kRelAbsolute)
            continue;
        const uint32_t target = page + (entry & pe::kRelocationOffsetMask);
        if (!section_holding(sections, target, patched_width(type)))
            fail("base relocation at RVA " + hex(entries_rva + 2 * i),
                 "a target inside a section", "RVA " + hex(target) + " outside every section");
        out.push_back({target, type});
    }
}

}  // namespace

std::vector<BaseRelocation> parse_relocations(const FileRva &file, const DataDirectory &directory,
                                              const std::vector<Section> &sections)
{
    std::vector<BaseRelocation> out;
    uint32_t at = directory.rva;
    const uint64_t end = uint64_t{directory.rva} + directory.size;
    while (at < end) {
        const std::string context = "base relocation block at RVA " + hex(at);
        if (end - at < pe::kRelocationBlockHeader)
            fail(context, "an 8-byte block header", std::to_string(end - at) + " bytes left");
        const uint32_t page = file.u32(at, "base relocation block VirtualAddress");
        const uint32_t size = file.u32(at + pe::kRelocationBlockSizeField, "base relocation block SizeOfBlock");
        if (size < pe::kRelocationBlockHeader || size % 2 != 0 || size > end - at)
            fail(context,
                 "an even SizeOfBlock of at least 8 bytes within the directory's " +
                     std::to_string(end - at) + " remaining bytes",
                 std::to_string(size));
        if (page % 0x1000 != 0)
            fail(context, "a page-aligned VirtualAddress", hex(page));
        read_block(file, page, at + pe::kRelocationBlockHeader,
                   (size - pe::kRelocationBlockHeader) / 2, sections, out);
        at += size;
    }
    return out;
}

}  // namespace wendol
