// keymap.cpp - the tables, read as the platform reads them.
#include "engine/keymap.h"

#include <algorithm>
#include <string>

#include "base/error.h"

namespace wendol {

namespace {

constexpr unsigned kKbdShiftBit = 0x01;   // KBDSHIFT, the bit CAPLOK stands in for

std::string place(const RowRef &ref)
{
    return "table " + std::to_string(ref.table + 1) + ", row " + std::to_string(ref.row);
}

}  // namespace

Keymap::Keymap(LayoutTables tables) : tables_(std::move(tables))
{
    for (size_t t = tables_.char_tables.size(); t-- > 0;) {
        const auto &rows = tables_.char_tables[t].rows;
        for (size_t r = rows.size(); r-- > 0;)
            first_rows_[rows[r].vk] = RowRef{t, r};
    }
    first_rows_[kContinuationVk].reset();   // continuation rows never match

    const auto &entries = tables_.dead_keys;
    for (size_t i = 0; i < entries.size(); ++i)
        first_compositions_.emplace_back(uint32_t{entries[i].dead} << 16 | entries[i].base, i);
    // Stable, so that of a pair stored twice the first entry leads and stays.
    std::stable_sort(first_compositions_.begin(), first_compositions_.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    first_compositions_.erase(
        std::unique(first_compositions_.begin(), first_compositions_.end(),
                    [](const auto &a, const auto &b) { return a.first == b.first; }),
        first_compositions_.end());
}

std::optional<uint16_t> Keymap::virtual_key(ScanCode scan) const
{
    auto usable = [](uint16_t entry) -> std::optional<uint16_t> {
        if ((entry & 0xFF) == 0xFF || (entry & 0xFF) == 0)
            return std::nullopt;
        return entry;
    };
    if (scan.prefix == Prefix::None) {
        if (scan.code >= tables_.scan_map.size())
            return std::nullopt;
        return usable(tables_.scan_map[scan.code]);
    }
    const auto &list = scan.prefix == Prefix::E0 ? tables_.scan_map_e0 : tables_.scan_map_e1;
    for (const ScanCodeEntry &entry : list)
        if (entry.scan == scan.code)
            return usable(entry.vk);
    return std::nullopt;
}

std::vector<std::pair<ScanCode, uint16_t>> Keymap::scan_codes() const
{
    std::vector<std::pair<ScanCode, uint16_t>> codes;
    for (size_t i = 0; i < tables_.scan_map.size() && i < 0x100; ++i) {
        ScanCode scan{Prefix::None, static_cast<uint8_t>(i)};
        if (auto vk = virtual_key(scan))
            codes.emplace_back(scan, *vk);
    }
    for (Prefix prefix : {Prefix::E0, Prefix::E1}) {
        const auto &list = prefix == Prefix::E0 ? tables_.scan_map_e0 : tables_.scan_map_e1;
        for (const ScanCodeEntry &entry : list) {
            ScanCode scan{prefix, entry.scan};
            // A scan code listed twice sends what its first entry says.
            if (auto vk = virtual_key(scan); vk && *vk == entry.vk)
                codes.emplace_back(scan, entry.vk);
        }
    }
    return codes;
}

std::optional<uint8_t> Keymap::column(unsigned bits) const
{
    const Modifiers &m = tables_.modifiers;
    if (bits > m.max_mod_bits || bits >= m.mod_number.size())
        return std::nullopt;
    uint8_t column = m.mod_number[bits];
    if (column == kShiftInvalid)
        return std::nullopt;
    return column;
}

std::optional<uint8_t> Keymap::lowest_bits(uint8_t wanted) const
{
    const Modifiers &m = tables_.modifiers;
    for (size_t bits = 0; bits <= m.max_mod_bits && bits < m.mod_number.size(); ++bits)
        if (m.mod_number[bits] == wanted && wanted != kShiftInvalid)
            return static_cast<uint8_t>(bits);
    return std::nullopt;
}

std::optional<RowRef> Keymap::find_row(uint8_t vk) const
{
    return first_rows_[vk];
}

// The row after `read_row` holds, in the same column, the dead character.
char16_t Keymap::dead_character(RowRef read_row, uint8_t column) const
{
    const auto context = [&] {
        return "dead cell in column " + std::to_string(column) + " of " + place(read_row);
    };
    const auto &rows = table(read_row).rows;
    if (read_row.row + 1 >= rows.size())
        fail(context(), "a dead-character row below it", "the end of the table");
    const CharRow &below = rows[read_row.row + 1];
    if (below.vk != kContinuationVk)
        fail(context(), "a dead-character row (0xFF) below it", "the row of VK " + hex(below.vk, 2));
    if (column >= below.cells.size())
        fail(context(), "a cell in that column of the row below", "a row of " +
             std::to_string(below.cells.size()) + " cells");
    uint16_t dead = below.cells[column];
    if (dead == kWchNone || dead == kWchDead || dead == kWchLigature)
        fail(context(), "a dead character in the row below", hex(dead, 4));
    return static_cast<char16_t>(dead);
}

Cell Keymap::cell(uint8_t vk, unsigned bits, bool caps_lock) const
{
    Cell cell;
    cell.bits = bits;
    cell.column = column(bits);
    auto found = find_row(vk);
    if (!found)
        return cell;
    cell.key_row = cell.read_row = *found;
    const CharTable &tab = table(*found);
    const CharRow &key_row = row(*found);

    // CAPLOK: Caps Lock acts as Shift on this key while no other modifier is held.
    if (caps_lock && (key_row.attributes & kCapLok) && (bits & ~kKbdShiftBit) == 0) {
        cell.bits = bits ^ kKbdShiftBit;
        cell.column = column(cell.bits);
    }
    if (!cell.column || *cell.column >= tab.columns) {
        cell.kind = Cell::Kind::NoColumn;
        return cell;
    }
    const uint8_t col = *cell.column;

    if (caps_lock && (key_row.attributes & kSgCaps)) {
        RowRef caps_row{found->table, found->row + 1};
        const auto context = [&] {
            return "Caps Lock row of VK " + hex(vk, 2) + " (" + place(*found) + ")";
        };
        if (caps_row.row >= tab.rows.size())
            fail(context(), "a continuation row (0xFF) below the SGCAPS row", "the end of the table");
        if (tab.rows[caps_row.row].vk != kContinuationVk)
            fail(context(), "a continuation row (0xFF) below the SGCAPS row",
                 "the row of VK " + hex(tab.rows[caps_row.row].vk, 2));
        cell.read_row = caps_row;
    }

    const CharRow &read = row(cell.read_row);
    if (col >= read.cells.size()) {
        cell.kind = Cell::Kind::NoColumn;
        return cell;
    }
    uint16_t wch = read.cells[col];
    switch (wch) {
    case kWchNone:
        cell.kind = Cell::Kind::None;
        break;
    case kWchDead:
        cell.kind = Cell::Kind::Dead;
        cell.ch = dead_character(cell.read_row, col);
        break;
    case kWchLigature:
        cell.kind = Cell::Kind::Ligature;
        break;
    default:
        cell.kind = Cell::Kind::Character;
        cell.ch = static_cast<char16_t>(wch);
        break;
    }
    return cell;
}

const DeadKeyEntry *Keymap::composition(char16_t dead, char16_t base) const
{
    // The platform searches from the start and takes the first match.
    const uint32_t pair = uint32_t{dead} << 16 | base;
    const auto found = std::lower_bound(
        first_compositions_.begin(), first_compositions_.end(), pair,
        [](const std::pair<uint32_t, size_t> &entry, uint32_t key) { return entry.first < key; });
    if (found == first_compositions_.end() || found->first != pair)
        return nullptr;
    return &tables_.dead_keys[found->second];
}

}  // namespace wendol
