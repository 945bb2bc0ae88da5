// tables.cpp - the root record: where it is, which pointer form it uses, and
// its fields, each pointer followed to its table.
#include "tables/tables.h"

#include <algorithm>

#include "base/error.h"
#include "pe/sections.h"
#include "table_reader.h"

namespace wendol {

const char *to_string(PointerForm form)
{
    switch (form) {
    case PointerForm::Wow64:
        return "64-bit fields in a 32-bit image (WOW64)";
    case PointerForm::Native32:
        return "native 32-bit";
    case PointerForm::Native64:
        return "native 64-bit";
    }
    return "unknown";
}

namespace {

// A 32-bit image with 32-bit pointers relocates the root record's second,
// fourth and sixth words (pVkToWcharTable, pKeyNames, pKeyNamesDead); with
// 64-bit fields those words are high halves, which are never relocated.
// Two of the three decide, so that one stray relocation on a high half is
// judged as the fault it is rather than taken for the other form.
PointerForm detect_form(const PeFile &file, uint32_t root_rva)
{
    if (file.headers().pe32_plus)
        return PointerForm::Native64;
    const auto &relocations = file.relocations();
    int packed = 0;
    for (uint32_t word : {4u, 12u, 20u})
        packed += std::any_of(relocations.begin(), relocations.end(),
                              [&](const BaseRelocation &r) { return r.rva == root_rva + word; });
    return packed >= 2 ? PointerForm::Native32 : PointerForm::Wow64;
}

void check_root(const MappedImage &image, uint32_t root_rva, const KbdTablesLayout &layout)
{
    if (root_rva % layout.p != 0)
        fail("KBDTABLES", "a record aligned to " + std::to_string(layout.p) + " bytes",
             "one at RVA " + hex(root_rva));
    // An older record ends after pLigature: it needs only that much room.
    if (!section_holding(image.file().sections(), root_rva, layout.older_size()))
        fail("KBDTABLES",
             std::to_string(layout.older_size()) + " bytes inside one section (" +
                 std::to_string(layout.size()) + " with dwType and dwSubType)",
             "a record at RVA " + hex(root_rva) + " that does not fit");
}

// Whether the section holding the record holds dwType and dwSubType too.
bool has_type_fields(const MappedImage &image, uint32_t root_rva, const KbdTablesLayout &layout)
{
    return section_holding(image.file().sections(), root_rva, layout.size()) != nullptr;
}

void read_root_tables(TableReader &reader, uint32_t root, const KbdTablesLayout &at, LayoutTables &out)
{
    const MappedImage &image = reader.image();
    if (auto rva = reader.pointer(root + at.pointer(0), {PointerSlot::CharModifiers}, at.p))
        out.modifiers = read_modifiers(reader, *rva);
    if (auto rva = reader.pointer(root + at.pointer(1), {PointerSlot::VkToWcharTable}, at.p))
        out.char_tables = read_char_tables(reader, *rva);
    if (auto rva = reader.pointer(root + at.pointer(2), {PointerSlot::DeadKey}, 4))
        out.dead_keys = read_dead_keys(reader, *rva);
    if (auto rva = reader.pointer(root + at.pointer(3), {PointerSlot::KeyNames}, at.p))
        out.key_names = read_key_names(reader, *rva, PointerSlot::KeyName);
    if (auto rva = reader.pointer(root + at.pointer(4), {PointerSlot::KeyNamesExt}, at.p))
        out.key_names_ext = read_key_names(reader, *rva, PointerSlot::KeyNameExt);
    if (auto rva = reader.pointer(root + at.pointer(5), {PointerSlot::KeyNamesDead}, at.p))
        out.dead_key_names = read_dead_key_names(reader, *rva);
    const uint8_t max_vsc = image.u8(root + at.max_vsc(), "KBDTABLES.bMaxVSCtoVK");
    if (auto rva = reader.pointer(root + at.pointer(6), {PointerSlot::VscToVk}, 2))
        out.scan_map = read_scan_map(reader, *rva, max_vsc);
    if (auto rva = reader.pointer(root + at.e0(), {PointerSlot::VscToVkE0}, 2))
        out.scan_map_e0 = read_prefixed_scan_map(reader, *rva, "pVSCtoVK_E0");
    if (auto rva = reader.pointer(root + at.e1(), {PointerSlot::VscToVkE1}, 2))
        out.scan_map_e1 = read_prefixed_scan_map(reader, *rva, "pVSCtoVK_E1");
}

void read_root_values(TableReader &reader, uint32_t root, const KbdTablesLayout &at, LayoutTables &out)
{
    const MappedImage &image = reader.image();
    out.locale_flags = image.u32(root + at.locale_flags(), "KBDTABLES.fLocaleFlags");
    out.lg_max = image.u8(root + at.lg_max(), "KBDTABLES.nLgMax");
    out.cb_lg_entry = image.u8(root + at.cb_lg_entry(), "KBDTABLES.cbLgEntry");
    const PointerField ligature = reader.field(root + at.ligature(), {PointerSlot::Ligature}, 2);
    out.ligature = ligature.value;
    if (ligature.value != 0)
        out.ligatures = read_ligatures(reader, ligature.target_rva, out.lg_max, out.cb_lg_entry);
    out.has_type_fields = has_type_fields(image, root, at);
    if (!out.has_type_fields)
        return;
    out.type = image.u32(root + at.type(), "KBDTABLES.dwType");
    out.subtype = image.u32(root + at.subtype(), "KBDTABLES.dwSubType");
}

}  // namespace

std::u16string LigatureEntry::text() const
{
    std::u16string out;
    for (uint16_t unit : chars) {
        if (unit == kWchNone)
            break;
        out.push_back(static_cast<char16_t>(unit));
    }
    return out;
}

LayoutTables read_tables(const MappedImage &image, uint32_t root_rva, PointerForm form)
{
    const KbdTablesLayout layout(form);
    check_root(image, root_rva, layout);
    LayoutTables out;
    out.form = form;
    out.root_rva = root_rva;
    TableReader reader(image, form, out.pointers);
    read_root_tables(reader, root_rva, layout, out);
    read_root_values(reader, root_rva, layout, out);
    return out;
}

LayoutTables read_tables(const MappedImage &image)
{
    return read_tables(image, call_descriptor(image));
}

LayoutTables read_tables(const MappedImage &image, const DescriptorCall &call)
{
    // A 32-bit accessor returns the address in EAX; EDX only widens it.
    const uint64_t address =
        image.file().headers().pe32_plus ? call.value : call.value & 0xFFFFFFFFu;
    const uint32_t root_rva = image.rva_of(address, "KbdLayerDescriptor's result");
    return read_tables(image, root_rva, detect_form(image.file(), root_rva));
}

}  // namespace wendol
