// exports.cpp - the export directory: the address table, the name table and
// its ordinals, the ordinal base and the module name.
#include "base/error.h"
#include "pe/pe_format.h"
#include "pe_parts.h"

namespace wendol {

namespace {

struct ExportTables {
    uint32_t base = 0;
    uint32_t function_count = 0;
    uint32_t name_count = 0;
    uint32_t functions = 0;   // RVAs of the three tables
    uint32_t names = 0;
    uint32_t ordinals = 0;
    uint32_t module_name = 0;
};

// A table of `count` entries of `width` bytes must lie inside the image, so
// that no RVA computed from it wraps around.
void check_inside(uint32_t rva, uint32_t count, uint32_t width, uint32_t size_of_image,
                  const char *what)
{
    const uint64_t end = uint64_t{rva} + uint64_t{count} * width;
    if (count != 0 && end > size_of_image)
        fail(what, "a table inside the image (below " + hex(size_of_image) + ")",
             "RVAs " + hex(rva) + ".." + hex(end));
}

ExportTables read_directory(const FileRva &file, uint32_t at, uint32_t size_of_image)
{
    ExportTables t;
    t.module_name = file.u32(at + pe::kExportName, "export directory Name");
    t.base = file.u32(at + pe::kExportBase, "export directory Base");
    t.function_count = file.u32(at + pe::kExportNumberOfFunctions, "export directory NumberOfFunctions");
    t.name_count = file.u32(at + pe::kExportNumberOfNames, "export directory NumberOfNames");
    t.functions = file.u32(at + pe::kExportAddressOfFunctions, "export directory AddressOfFunctions");
    t.names = file.u32(at + pe::kExportAddressOfNames, "export directory AddressOfNames");
    t.ordinals = file.u32(at + pe::kExportAddressOfNameOrdinals, "export directory AddressOfNameOrdinals");
    if (t.function_count > pe::kMaxExports)
        fail("export directory NumberOfFunctions",
             "at most " + std::to_string(pe::kMaxExports), std::to_string(t.function_count));
    if (t.name_count > t.function_count)
        fail("export directory NumberOfNames",
             "no more names than functions (" + std::to_string(t.function_count) + ")",
             std::to_string(t.name_count));
    check_inside(t.functions, t.function_count, 4, size_of_image, "export address table");
    check_inside(t.names, t.name_count, 4, size_of_image, "export name table");
    check_inside(t.ordinals, t.name_count, 2, size_of_image, "export ordinal table");
    return t;
}

std::vector<Export> read_address_table(const FileRva &file, const ExportTables &t,
                                       uint32_t size_of_image)
{
    std::vector<Export> slots(t.function_count);
    for (uint32_t i = 0; i < t.function_count; ++i) {
        const uint32_t rva = file.u32(t.functions + 4 * i, "export address table");
        if (rva >= size_of_image)
            fail("export address table slot " + std::to_string(i),
                 "an RVA inside the image (below " + hex(size_of_image) + ")", hex(rva));
        slots[i].rva = rva;
        slots[i].ordinal = t.base + i;
    }
    return slots;
}

void name_slots(const FileRva &file, const ExportTables &t, std::vector<Export> &slots)
{
    for (uint32_t i = 0; i < t.name_count; ++i) {
        const uint16_t index = file.u16(t.ordinals + 2 * i, "export ordinal table");
        if (index >= slots.size())
            fail("export ordinal table entry " + std::to_string(i),
                 "an index below NumberOfFunctions (" + std::to_string(slots.size()) + ")",
                 std::to_string(index));
        const uint32_t name_rva = file.u32(t.names + 4 * i, "export name table");
        slots[index].name = file.c_string(name_rva, pe::kMaxExportNameLength, "export name");
    }
}

}  // namespace

ExportDirectory parse_exports(const FileRva &file, const DataDirectory &directory,
                              uint32_t size_of_image)
{
    if (directory.size < pe::kExportDirectorySize)
        fail("export directory", "at least " + std::to_string(pe::kExportDirectorySize) + " bytes",
             std::to_string(directory.size));
    const ExportTables t = read_directory(file, directory.rva, size_of_image);
    std::vector<Export> slots = read_address_table(file, t, size_of_image);
    name_slots(file, t, slots);

    ExportDirectory out;
    out.ordinal_base = t.base;
    out.module_name = file.c_string(t.module_name, pe::kMaxExportNameLength, "export module name");
    for (Export &e : slots)
        if (e.rva != 0)   // an unused slot of the address table
            out.exports.push_back(std::move(e));
    return out;
}

}  // namespace wendol
