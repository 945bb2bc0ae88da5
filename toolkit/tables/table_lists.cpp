// table_lists.cpp - the tables below the root record, decoded one by one.
// Record layouts depend only on the pointer size P: a far pointer is P bytes
// and P-aligned, everything else is bytes and 16/32-bit words.
#include <algorithm>

#include "base/error.h"
#include "table_reader.h"

namespace wendol {

namespace {

// A name is read wherever it starts: the platform reads a key name a byte
// off its alignment (a narrow literal cast to a wide one) as it reads any
// other, and the verifier warns of it.
constexpr uint32_t kNameAlignment = 1;

std::vector<VkToBit> read_vk_to_bits(TableReader &reader, uint32_t rva)
{
    std::vector<VkToBit> keys;
    reader.walk(rva, 2, "VK_TO_BIT list", [&](uint32_t at, uint32_t) {
        const VkToBit key{reader.image().u8(at, "VK_TO_BIT.Vk"),
                          reader.image().u8(at + 1, "VK_TO_BIT.ModBits")};
        if (key.vk == 0)
            return false;
        keys.push_back(key);
        return true;
    });
    return keys;
}

std::vector<CharRow> read_rows(TableReader &reader, const CharTable &table, const std::string &what)
{
    std::vector<CharRow> rows;
    reader.walk(table.rva, table.row_size, what, [&](uint32_t at, uint32_t) {
        CharRow row;
        row.vk = reader.image().u8(at, "VK_TO_WCHARS.VirtualKey");
        row.rva = at;
        if (row.vk == 0)
            return false;
        row.attributes = reader.image().u8(at + 1, "VK_TO_WCHARS.Attributes");
        row.cells.reserve(table.columns);
        for (uint32_t c = 0; c < table.columns; ++c)
            row.cells.push_back(reader.image().u16(at + 2 + 2 * c, "VK_TO_WCHARS.wch"));
        rows.push_back(std::move(row));
        return true;
    });
    return rows;
}

}  // namespace

Modifiers read_modifiers(TableReader &reader, uint32_t rva)
{
    const uint32_t p = reader.pointer_size();
    Modifiers out;
    if (auto bits = reader.pointer(rva, {PointerSlot::VkToBit}, 1))
        out.keys = read_vk_to_bits(reader, *bits);
    out.max_mod_bits = reader.image().u16(rva + p, "MODIFIERS.wMaxModBits");
    if (out.max_mod_bits > 0xFF)
        fail("MODIFIERS.wMaxModBits", "at most 255 (modifier bits are a byte)",
             std::to_string(out.max_mod_bits));
    const auto numbers = reader.image().bytes(rva + p + 2, out.max_mod_bits + 1u,
                                              "MODIFIERS.ModNumber");
    out.mod_number.assign(numbers.begin(), numbers.end());
    return out;
}

std::vector<CharTable> read_char_tables(TableReader &reader, uint32_t rva)
{
    const uint32_t p = reader.pointer_size();
    std::vector<CharTable> tables;
    reader.walk(rva, 2 * p, "VK_TO_WCHAR_TABLE list", [&](uint32_t at, uint32_t index) {
        const PointerId id{PointerSlot::CharTableRows, index};
        const std::string what =
            std::string(record_name(id.slot)) + "[" + std::to_string(index) + "]";
        const auto rows = reader.pointer(at, id, 2);
        if (!rows)
            return false;
        CharTable table;
        table.columns = reader.image().u8(at + p, "VK_TO_WCHAR_TABLE.nModifications");
        table.row_size = reader.image().u8(at + p + 1, "VK_TO_WCHAR_TABLE.cbSize");
        table.rva = *rows;
        if (table.columns == 0 || table.row_size != 2 + 2 * table.columns)
            fail(what, "at least one column and cbSize = 2 + 2 * nModifications (" +
                           std::to_string(2 + 2 * table.columns) + ")",
                 "nModifications " + std::to_string(table.columns) + ", cbSize " +
                     std::to_string(table.row_size));
        table.rows = read_rows(reader, table, what + " rows");
        tables.push_back(std::move(table));
        return true;
    });
    return tables;
}

std::vector<DeadKeyEntry> read_dead_keys(TableReader &reader, uint32_t rva)
{
    std::vector<DeadKeyEntry> entries;
    reader.walk(rva, 8, "DEADKEY list", [&](uint32_t at, uint32_t) {
        const uint32_t both = reader.image().u32(at, "DEADKEY.dwBoth");
        if (both == 0)
            return false;
        entries.push_back({static_cast<uint16_t>(both >> 16), static_cast<uint16_t>(both),
                           reader.image().u16(at + 4, "DEADKEY.wchComposed"),
                           reader.image().u16(at + 6, "DEADKEY.uFlags")});
        return true;
    });
    return entries;
}

std::vector<KeyName> read_key_names(TableReader &reader, uint32_t rva, PointerSlot list)
{
    const uint32_t p = reader.pointer_size();
    std::vector<KeyName> names;
    reader.walk(rva, 2 * p, record_name(list), [&](uint32_t at, uint32_t index) {
        const PointerId id{list, index};
        const std::string what = label(id);
        const uint8_t scan = reader.image().u8(at, "VSC_LPWSTR.vsc");
        const auto text = reader.pointer(at + p, id, kNameAlignment);
        if (scan == 0)
            return false;
        if (!text)
            fail(what, "a name for scan code " + hex(scan, 2), "a null pointer");
        names.push_back({scan, reader.string(*text, what)});
        return true;
    });
    return names;
}

std::vector<std::u16string> read_dead_key_names(TableReader &reader, uint32_t rva)
{
    std::vector<std::u16string> names;
    const char *list = record_name(PointerSlot::DeadKeyName);
    reader.walk(rva, reader.pointer_size(), list, [&](uint32_t at, uint32_t index) {
        const PointerId id{PointerSlot::DeadKeyName, index};
        const std::string what = label(id);
        const auto text = reader.pointer(at, id, kNameAlignment);
        if (!text)
            return false;
        names.push_back(reader.string(*text, what));
        return true;
    });
    return names;
}

std::vector<LigatureEntry> read_ligatures(TableReader &reader, uint32_t rva, uint8_t max_chars,
                                          uint8_t entry_size)
{
    // VirtualKey, a padding byte and ModificationNumber come before wch[].
    constexpr uint32_t kHead = 4;
    if (entry_size < kHead)
        fail("KBDTABLES.cbLgEntry", "entries of at least " + std::to_string(kHead) +
                 " bytes (VirtualKey, ModificationNumber)",
             std::to_string(entry_size));
    // Never read past an entry, whatever nLgMax claims: verify judges the
    // two against each other.
    const uint32_t chars = std::min<uint32_t>(max_chars, (entry_size - kHead) / 2);
    std::vector<LigatureEntry> entries;
    reader.walk(rva, entry_size, "ligature list", [&](uint32_t at, uint32_t) {
        LigatureEntry entry;
        entry.vk = reader.image().u8(at, "LIGATURE.VirtualKey");
        entry.rva = at;
        if (entry.vk == 0)
            return false;
        entry.column = reader.image().u16(at + 2, "LIGATURE.ModificationNumber");
        for (uint32_t i = 0; i < chars; ++i)
            entry.chars.push_back(reader.image().u16(at + kHead + 2 * i, "LIGATURE.wch"));
        entries.push_back(std::move(entry));
        return true;
    });
    return entries;
}

std::vector<uint16_t> read_scan_map(TableReader &reader, uint32_t rva, uint8_t count)
{
    const uint32_t end = reader.section_end(rva, "pusVSCtoVK");
    if (uint64_t{rva} + 2u * count > end)
        fail("pusVSCtoVK at RVA " + hex(rva),
             std::to_string(count) + " entries inside its section (ending at RVA " + hex(end) + ")",
             "room for " + std::to_string((end - rva) / 2));
    std::vector<uint16_t> map;
    for (uint32_t i = 0; i < count; ++i)
        map.push_back(reader.image().u16(rva + 2 * i, "pusVSCtoVK entry"));
    return map;
}

std::vector<ScanCodeEntry> read_prefixed_scan_map(TableReader &reader, uint32_t rva,
                                                  const std::string &list)
{
    std::vector<ScanCodeEntry> entries;
    reader.walk(rva, 4, list, [&](uint32_t at, uint32_t) {
        const ScanCodeEntry entry{reader.image().u8(at, "VSC_VK.Vsc"),
                                  reader.image().u16(at + 2, "VSC_VK.Vk")};
        if (entry.scan == 0)
            return false;
        entries.push_back(entry);
        return true;
    });
    return entries;
}

}  // namespace wendol
