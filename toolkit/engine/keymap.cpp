// keymap.cpp - the tables, read as the platform reads them.
#include "engine/keymap.h"

#include <algorithm>
#include <string>

#include "base/error.h"

namespace wendol {

namespace {

constexpr unsigned kKbdShiftBit = kKbdShift, kAltGrBits = kKbdAltGr, kKbdKanaBit = kKbdKana;
constexpr uint32_t kLocaleAltGr = kKllfAltGr, kLocaleShiftLock = kKllfShiftLock;

// Whether Caps Lock stands in for Shift on a key with these attributes while
// `bits` are held: a CAPLOK key while nothing but Shift is held, a
// CAPLOKALTGR key while Ctrl and Alt (AltGr) are held with nothing but Shift
// besides.  Any other modifier leaves Caps Lock out of the column.
bool caps_acts_as_shift(uint8_t attributes, unsigned bits)
{
    const unsigned others = bits & ~kKbdShiftBit;
    return ((attributes & kCapLok) && others == 0) ||
           ((attributes & kCapLokAltGr) && others == kAltGrBits);
}

}  // namespace

Keymap::Keymap(LayoutTables tables) : tables_(std::move(tables))
{
    for (const CharTable &table : tables_.char_tables) {
        row_parts_.push_back(row_parts(table));
        for (const CharRow &row : table.rows)
            kana_lock_rows_ |= row.vk != kContinuationVk && (row.attributes & kKanaLok);
    }
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

// The row Caps Lock reads for an SGCAPS key.
RowRef Keymap::caps_row(RowRef key_row) const
{
    const std::optional<size_t> caps = own_part(key_row).caps;
    if (!caps)
        fail("Caps Lock row of " + row_place(tables_, key_row),
             "a continuation row (0xFF) below the SGCAPS row",
             row_below(table(key_row), key_row.row));
    return RowRef{key_row.table, *caps};
}

// The dead-character row of `read_row` holds, in the same column, the dead
// character.
char16_t Keymap::dead_character(RowRef read_row, uint8_t column) const
{
    const auto context = [&] { return "dead cell at " + row_place(tables_, read_row, column); };
    const std::optional<size_t> dead_row = own_part(read_row).dead;
    if (!dead_row) {
        const bool at_end = read_row.row + 1 >= table(read_row).rows.size();
        fail(context(),
             at_end ? "a dead-character row below it" : "a dead-character row (0xFF) below it",
             row_below(table(read_row), read_row.row));
    }
    const CharRow &below = row(RowRef{read_row.table, *dead_row});
    if (column >= below.cells.size())
        fail(context(), "a cell in that column of the row below", "a row of " +
             std::to_string(below.cells.size()) + " cells");
    uint16_t dead = below.cells[column];
    if (dead == kWchNone || dead == kWchDead || dead == kWchLigature)
        fail(context(), "a dead character in the row below", hex(dead, 4));
    return static_cast<char16_t>(dead);
}

Cell Keymap::cell(uint8_t vk, unsigned bits, bool caps_lock, bool kana_lock) const
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

    if (caps_lock && caps_acts_as_shift(key_row.attributes, bits)) {
        cell.bits = bits ^ kKbdShiftBit;
        cell.column = column(cell.bits);
    }
    // The Kana lock is to a KANALOK row what holding a KBDKANA key is.
    if (kana_lock && (key_row.attributes & kKanaLok)) {
        cell.bits |= kKbdKanaBit;
        cell.column = column(cell.bits);
    }
    if (!cell.column || *cell.column >= tab.columns) {
        cell.kind = Cell::Kind::NoColumn;
        return cell;
    }
    const uint8_t col = *cell.column;

    if (caps_lock && (key_row.attributes & kSgCaps))
        cell.read_row = caps_row(*found);

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
        cell.entry = ligature(vk, col);
        if (cell.entry)
            cell.ligature = cell.entry->text();
        break;
    default:
        cell.kind = Cell::Kind::Character;
        cell.ch = static_cast<char16_t>(wch);
        break;
    }
    return cell;
}

Cell Keymap::typed(uint8_t vk, unsigned bits, bool caps_lock, HeldKeys held,
                   bool kana_lock) const
{
    Cell found = cell(vk, bits, caps_lock, kana_lock);
    // The platform's own control characters: where the tables give a letter
    // key nothing, Ctrl+A .. Ctrl+Z type U+0001 .. U+001A, whatever the
    // Shift state, unless Alt is held too (so AltGr, which holds Alt, never
    // does).  A dead cell, a ligature or a character the tables give wins.
    const bool gives_nothing = found.kind == Cell::Kind::NoRow ||
                               found.kind == Cell::Kind::NoColumn ||
                               found.kind == Cell::Kind::None;
    if (gives_nothing && vk >= 'A' && vk <= 'Z' && held.ctrl && !held.alt) {
        found.kind = Cell::Kind::Control;
        found.ch = static_cast<char16_t>(vk - 'A' + 1);
    }
    return found;
}

const LigatureEntry *Keymap::ligature(uint8_t vk, uint8_t column) const
{
    for (const LigatureEntry &entry : tables_.ligatures)
        if (entry.vk == vk && entry.column == column)
            return &entry;
    return nullptr;
}

bool Keymap::right_alt_is_altgr() const
{
    return tables_.locale_flags & kLocaleAltGr;
}

bool Keymap::shift_lock() const
{
    return tables_.locale_flags & kLocaleShiftLock;
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
