// keymap.cpp - the tables compiled once, read as the platform reads them.
#include "engine/keymap.h"

#include <algorithm>
#include <string>

namespace wendol {

namespace {

// The bits that count when the platform asks "is only this held": KBDKANA
// comes from a lock as often as from a key, and is set aside.
unsigned without_kana(unsigned bits)
{
    return bits & ~kKbdKana;
}

// Alt alone or with Shift is no modifier for the lookup: the platform clears
// the Alt bit and delivers the character as a system character.
bool alt_is_cleared(unsigned bits)
{
    const unsigned held = without_kana(bits);
    return held == kKbdAlt || held == (kKbdAlt | kKbdShift);
}

}  // namespace

Error CellFault::error(const LayoutTables &tables) const
{
    return Error(row_text(tables, row, column), expected, found);
}

std::optional<uint8_t> num_lock_key(uint8_t navigation_vk)
{
    switch (navigation_vk) {
    case kVkInsert: return 0x60;   // VK_NUMPAD0
    case kVkEnd: return 0x61;
    case kVkDown: return 0x62;
    case kVkNext: return 0x63;
    case kVkLeft: return 0x64;
    case kVkClear: return 0x65;
    case kVkRight: return 0x66;
    case kVkHome: return 0x67;
    case kVkUp: return 0x68;
    case kVkPrior: return 0x69;    // VK_NUMPAD9
    case kVkDelete: return kVkDecimal;
    default: return std::nullopt;
    }
}

std::optional<uint8_t> keypad_digit(uint16_t mapped)
{
    if (!(mapped & kKbdNumpad) || (mapped & kKbdExt))
        return std::nullopt;
    return num_lock_key(static_cast<uint8_t>(mapped & 0xFF));
}

Keymap::Keymap(LayoutTables tables) : tables_(std::move(tables))
{
    key_of_vk_.fill(-1);
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

    // The scan-code maps, as arrays: a scan code listed twice sends what
    // its first entry says.
    auto usable = [](uint16_t entry) {
        return (entry & 0xFF) != 0xFF && (entry & 0xFF) != 0 ? entry : uint16_t{0};
    };
    for (size_t i = 0; i < tables_.scan_map.size() && i < 0x100; ++i)
        if ((scan_[0][i] = usable(tables_.scan_map[i])))
            scan_codes_.emplace_back(ScanCode{Prefix::None, static_cast<uint8_t>(i)}, scan_[0][i]);
    for (Prefix prefix : {Prefix::E0, Prefix::E1}) {
        const auto &list = prefix == Prefix::E0 ? tables_.scan_map_e0 : tables_.scan_map_e1;
        auto &map = scan_[static_cast<size_t>(prefix)];
        std::array<bool, 256> seen{};
        for (const ScanCodeEntry &entry : list) {
            if (seen[entry.scan])
                continue;
            seen[entry.scan] = true;
            if ((map[entry.scan] = usable(entry.vk)))
                scan_codes_.emplace_back(ScanCode{prefix, entry.scan}, entry.vk);
        }
    }

    for (const VkToBit &m : tables_.modifiers.keys)
        vk_bits_[m.vk] |= m.bits;
    mod_number_.fill(kShiftInvalid);
    const Modifiers &m = tables_.modifiers;
    for (size_t bits = 0; bits <= m.max_mod_bits && bits < m.mod_number.size() && bits < 256;
         ++bits)
        mod_number_[bits] = m.mod_number[bits];

    // Every key's cells, resolved once.
    for (unsigned vk = 0; vk < 256; ++vk) {
        if (!first_rows_[vk])
            continue;
        const RowRef ref = *first_rows_[vk];
        CompiledKey key;
        key.key_row = ref;
        key.attributes = row(ref).attributes;
        key.columns = table(ref).columns;
        key.caps = key.attributes & kSgCaps;
        key.first = cells_.size();
        for (uint8_t c = 0; c < key.columns; ++c)
            cells_.push_back(resolve(ref, ref, c));
        if (key.caps) {
            const std::optional<RowRef> caps = caps_row(ref);
            for (uint8_t c = 0; c < key.columns; ++c) {
                if (caps) {
                    cells_.push_back(resolve(ref, *caps, c));
                    continue;
                }
                Cell broken = cells_[key.first + c];
                broken.kind = Cell::Kind::Broken;
                broken.fault = keep_fault(ref, c, "a Caps Lock row below the SGCAPS row",
                                          "the end of the table");
                cells_.push_back(broken);
            }
        }
        key_of_vk_[vk] = static_cast<int16_t>(keys_.size());
        keys_.push_back(std::move(key));
    }

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
    for (size_t i = 0; i < entries.size(); ++i)
        if (composition(static_cast<char16_t>(entries[i].dead),
                        static_cast<char16_t>(entries[i].base)) == &entries[i])
            compositions_.push_back(&entries[i]);
}

const CellFault *Keymap::keep_fault(RowRef row, uint8_t column, std::string expected,
                                    std::string found)
{
    faults_.push_back(CellFault{row, column, std::move(expected), std::move(found)});
    return &faults_.back();
}

// One cell of a row, as the platform reads it: a dead cell takes its
// character from the same column of the next row, whatever that row's key.
Cell Keymap::resolve(RowRef key_row, RowRef read_row, uint8_t column)
{
    Cell cell;
    cell.key_row = key_row;
    cell.read_row = read_row;
    cell.column = column;
    const CharRow &read = row(read_row);
    if (column >= read.cells.size()) {
        cell.kind = Cell::Kind::NoColumn;
        return cell;
    }
    const uint16_t wch = read.cells[column];
    switch (wch) {
    case kWchNone:
        cell.kind = Cell::Kind::None;
        break;
    case kWchDead: {
        const CharTable &tab = table(read_row);
        if (read_row.row + 1 >= tab.rows.size()) {
            cell.kind = Cell::Kind::Broken;
            cell.fault = keep_fault(read_row, column, "a dead-character row below it",
                                    "the end of the table");
            break;
        }
        const CharRow &below = tab.rows[read_row.row + 1];
        if (column >= below.cells.size()) {
            cell.kind = Cell::Kind::Broken;
            cell.fault = keep_fault(read_row, column, "a cell in that column of the row below",
                                    "a row of " + std::to_string(below.cells.size()) + " cells");
            break;
        }
        const uint16_t dead = below.cells[column];
        if (!is_character_cell(dead)) {
            cell.kind = Cell::Kind::Broken;
            cell.fault = keep_fault(read_row, column, "a dead character in the row below",
                                    hex(dead, 4));
            break;
        }
        cell.kind = Cell::Kind::Dead;
        cell.ch = static_cast<char16_t>(dead);
        break;
    }
    case kWchLigature: {
        cell.kind = Cell::Kind::Ligature;
        cell.entry = ligature(row(key_row).vk, column);
        if (cell.entry) {
            ligature_texts_.push_back(cell.entry->text());
            cell.ligature = ligature_texts_.back();
        }
        break;
    }
    default:
        cell.kind = Cell::Kind::Character;
        cell.ch = static_cast<char16_t>(wch);
        break;
    }
    return cell;
}

std::optional<uint16_t> Keymap::virtual_key(ScanCode scan) const
{
    const uint16_t entry = scan_[static_cast<size_t>(scan.prefix)][scan.code];
    return entry ? std::optional<uint16_t>(entry) : std::nullopt;
}

Translation Keymap::translate(const Key &key, bool num_lock, bool shift_down,
                              bool ctrl_down) const
{
    Translation t;
    if (const auto *vk = std::get_if<VirtualKey>(&key)) {
        t.vk = vk->code;
        return t;
    }
    t.mapped = virtual_key(std::get<ScanCode>(key));
    if (!t.mapped)
        return t;
    t.vk = static_cast<uint8_t>(*t.mapped & 0xFF);

    // The keypad's digit block: digits under Num Lock, unless Shift is held.
    if (num_lock) {
        if (const std::optional<uint8_t> digit = keypad_digit(*t.mapped)) {
            if (!sends_keypad_digit(shift_down ? kKbdShift : 0)) {
                t.rule = Translation::Rule::ShiftNavigation;
            } else {
                t.vk = *digit;
                t.rule = Translation::Rule::NumLock;
            }
        }
    }
    // Keys that send another virtual key with Ctrl: Num Lock is Pause and
    // Scroll Lock is Break, as on keyboards without those keys.
    if ((*t.mapped & kKbdMultiVk) && ctrl_down) {
        if (t.vk == kVkNumLock) {
            t.vk = kVkPause;
            t.rule = Translation::Rule::CtrlPause;
        } else if (t.vk == kVkScroll) {
            t.vk = kVkCancel;
            t.rule = Translation::Rule::CtrlBreak;
        }
    }
    return t;
}

std::vector<uint8_t> Keymap::keys_making(unsigned bits) const
{
    std::vector<uint8_t> keys;
    for (const VkToBit &m : tables_.modifiers.keys)
        if (m.bits && (m.bits & bits) == m.bits)
            keys.push_back(m.vk);
    return keys;
}

std::optional<uint8_t> Keymap::column(unsigned bits) const
{
    if (bits >= mod_number_.size() || mod_number_[bits] == kShiftInvalid)
        return std::nullopt;
    return mod_number_[bits];
}

std::optional<uint8_t> Keymap::lowest_bits(uint8_t wanted) const
{
    if (wanted == kShiftInvalid)
        return std::nullopt;
    for (size_t bits = 0; bits < mod_number_.size(); ++bits)
        if (mod_number_[bits] == wanted)
            return static_cast<uint8_t>(bits);
    return std::nullopt;
}

std::optional<RowRef> Keymap::find_row(uint8_t vk) const
{
    return first_rows_[vk];
}

std::optional<RowRef> Keymap::caps_row(RowRef key_row) const
{
    if (key_row.row + 1 >= table(key_row).rows.size())
        return std::nullopt;
    return RowRef{key_row.table, key_row.row + 1};
}

std::span<const Cell> Keymap::cells_of(uint8_t vk, bool caps_row) const
{
    const int16_t index = key_of_vk_[vk];
    if (index < 0)
        return {};
    const CompiledKey &key = keys_[static_cast<size_t>(index)];
    if (caps_row && !key.caps)
        return {};
    return std::span<const Cell>(cells_).subspan(key.first + (caps_row ? key.columns : 0),
                                                 key.columns);
}

bool Keymap::caps_matters(uint8_t attributes)
{
    return attributes & (kCapLok | kSgCaps | kCapLokAltGr);
}

Cell Keymap::lookup(uint8_t vk, unsigned bits, bool caps_lock, bool kana_lock) const
{
    Cell cell;
    if (alt_is_cleared(bits)) {
        bits &= ~kKbdAlt;
        cell.system = true;
    }
    const int16_t index = key_of_vk_[vk];
    if (index < 0) {
        cell.bits = bits;
        cell.column = column(bits);
        cell.invalid = !cell.column;
        return cell;
    }
    const CompiledKey &key = keys_[static_cast<size_t>(index)];
    bool caps_row = false;
    if (kana_lock && (key.attributes & kKanaLok)) {
        // The Kana lock stands in for a held KBDKANA key, and Caps Lock then
        // leaves the key alone.
        bits |= kKbdKana;
    } else if (caps_lock) {
        const bool nothing_but_shift = reads_caps_row(bits);
        if (((key.attributes & kCapLok) && nothing_but_shift) ||
            ((key.attributes & kCapLokAltGr) && (bits & kKbdAltGr) == kKbdAltGr))
            bits ^= kKbdShift;
        caps_row = (key.attributes & kSgCaps) && nothing_but_shift;
    }
    const std::optional<uint8_t> col = column(bits);
    if (!col || *col >= key.columns) {
        cell.kind = Cell::Kind::NoColumn;
        cell.bits = bits;
        cell.column = col;
        cell.invalid = !col;
        cell.key_row = cell.read_row = key.key_row;
        return cell;
    }
    const bool system = cell.system;
    cell = cells_[key.first + (caps_row ? key.columns : 0) + *col];
    cell.system = system;
    cell.bits = bits;
    return cell;
}

Cell Keymap::cell(uint8_t vk, unsigned bits, bool caps_lock, bool kana_lock) const
{
    return lookup(vk, bits, caps_lock, kana_lock);
}

Cell Keymap::typed(uint8_t vk, const ShiftState &state) const
{
    const unsigned held = without_kana(state.bits);
    if (vk == kVkBack && lrm_rlm() && held == kKbdShift) {
        Cell mark = lookup(vk, state.bits, false, false);
        mark.kind = Cell::Kind::Mark;
        mark.ch = state.right_shift ? kRightToLeftMark : kLeftToRightMark;
        return mark;
    }
    Cell found = lookup(vk, state.bits, state.caps_lock, state.kana_lock);
    // The platform's own control characters, where the tables give a letter
    // key nothing and the bits held are Ctrl, or Ctrl and Shift: a dead cell,
    // a ligature or a character the tables give wins, and SHFT_INVALID gives
    // nothing at all.
    const bool gives_nothing = found.kind == Cell::Kind::NoRow ||
                               found.kind == Cell::Kind::NoColumn ||
                               found.kind == Cell::Kind::None;
    if (gives_nothing && !found.invalid && vk >= 'A' && vk <= 'Z' &&
        (held == kKbdCtrl || held == (kKbdCtrl | kKbdShift))) {
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

const DeadKeyEntry *Keymap::composition(char16_t dead, char16_t base) const
{
    const uint32_t pair = uint32_t{dead} << 16 | base;
    const auto found = std::lower_bound(
        first_compositions_.begin(), first_compositions_.end(), pair,
        [](const std::pair<uint32_t, size_t> &entry, uint32_t key) { return entry.first < key; });
    if (found == first_compositions_.end() || found->first != pair)
        return nullptr;
    return &tables_.dead_keys[found->second];
}

}  // namespace wendol
