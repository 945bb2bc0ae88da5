// keymap.h - what the layout's tables say, asked the way the platform asks
// them: which virtual key a scan code sends, which column the held modifier
// bits select, what a key gives in a column, and what a dead character and
// the next character compose to.
//
// The keymap is built from the tables as read from the image and from
// nothing else.  It holds no state: what is down, locked or pending lives in
// KeyboardState and Compose.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "tables/char_rows.h"
#include "tables/tables.h"

namespace wendol {

enum class Prefix : uint8_t { None, E0, E1 };

// A scan code as the keyboard sends it, with the prefix byte it came after.
struct ScanCode {
    Prefix prefix = Prefix::None;
    uint8_t code = 0;
    friend bool operator==(const ScanCode &, const ScanCode &) = default;
};

// A virtual key sent as such, bypassing the scan-code maps.
struct VirtualKey {
    uint8_t code = 0;
    friend bool operator==(const VirtualKey &, const VirtualKey &) = default;
};

// A key as a person presses it: a physical key, or a virtual key.
using Key = std::variant<ScanCode, VirtualKey>;

// What a key gives with the modifier bits held.
struct Cell {
    enum class Kind {
        NoRow,      // no table has a row for the key
        NoColumn,   // the modifiers select no column, or one beyond the table
        None,       // WCH_NONE
        Character,
        Dead,       // WCH_DEAD; `ch` is the dead character of the row below
        Ligature,   // WCH_LGTR; `ligature` holds what its entry types (empty: no entry)
        Control,    // Ctrl+letter where the tables give nothing: the platform's C0 character
    };
    Kind kind = Kind::NoRow;
    char16_t ch = 0;
    std::u16string ligature;        // a Ligature cell's characters, in order
    const LigatureEntry *entry = nullptr;   // a Ligature cell's entry, if the list has one
    unsigned bits = 0;              // as the column was chosen (Caps Lock may add Shift,
                                    // the Kana lock KBDKANA)
    std::optional<uint8_t> column;  // what those bits select
    RowRef key_row;                 // the key's own row, unless NoRow
    RowRef read_row;                // the row the cell was read from (the Caps Lock row under Caps Lock)
};

// The generic modifier keys held, which the platform asks apart from the
// modifier bits.
struct HeldKeys {
    bool ctrl = false;   // VK_CONTROL, either side
    bool alt = false;    // VK_MENU, either side
};

class Keymap {
public:
    explicit Keymap(LayoutTables tables);

    const LayoutTables &tables() const { return tables_; }

    // The scan-code maps: the virtual key in the low byte and the flag bits
    // in the high byte, as stored; nothing where the map has no entry or the
    // entry is the no-key value 0xFF.
    std::optional<uint16_t> virtual_key(ScanCode scan) const;

    // Every scan code the maps give a virtual key, base map first, then the
    // E0 and the E1 lists, each in stored order.
    std::vector<std::pair<ScanCode, uint16_t>> scan_codes() const;

    // The modifier map.
    const std::vector<VkToBit> &modifier_keys() const { return tables_.modifiers.keys; }
    std::optional<uint8_t> column(unsigned bits) const;
    // The lowest modifier bits that select `column`, as the platform reports
    // a shift state.
    std::optional<uint8_t> lowest_bits(uint8_t column) const;

    // The first key row for `vk` in list order; continuation rows never match.
    std::optional<RowRef> find_row(uint8_t vk) const;
    const CharTable &table(RowRef ref) const { return tables_.char_tables.at(ref.table); }
    const CharRow &row(RowRef ref) const { return table(ref).rows.at(ref.row); }
    // The row's part for its key and the continuation rows that follow it
    // (see char_rows.h), worked out once when the keymap is made.
    const RowPart &part(RowRef ref) const { return row_parts_.at(ref.table).at(ref.row); }

    // The platform's character lookup for a key with modifier bits held.
    // Caps Lock acts first (as Shift on a CAPLOK or CAPLOKALTGR row, or
    // through an SGCAPS row's Caps Lock row), then the Kana lock adds
    // KBDKANA on a KANALOK row.  Throws Error where the tables break their
    // own rules (an SGCAPS row with no Caps Lock row below it, a dead cell
    // with no dead character below it).
    Cell cell(uint8_t vk, unsigned bits, bool caps_lock, bool kana_lock = false) const;
    // What pressing the key types: the cell, or the control character the
    // platform gives for Ctrl+A .. Ctrl+Z where the cell is empty.
    Cell typed(uint8_t vk, unsigned bits, bool caps_lock, HeldKeys held,
               bool kana_lock = false) const;

    // The first entry of the ligature list for the key and column, as the
    // platform searches it: from the start.
    const LigatureEntry *ligature(uint8_t vk, uint8_t column) const;
    // Whether any key row is KANALOK: only then does the Kana lock change
    // what a key types.
    bool has_kana_lock_rows() const { return kana_lock_rows_; }

    // The layout's locale flags: KLLF_ALTGR (the right Alt key is AltGr,
    // Ctrl+Alt to the tables) and KLLF_SHIFTLOCK (Caps Lock is a Shift
    // lock that Shift releases).
    bool right_alt_is_altgr() const;
    bool shift_lock() const;

    // The composition table's entry for the pair, if any.
    const DeadKeyEntry *composition(char16_t dead, char16_t base) const;

private:
    RowRef caps_row(RowRef key_row) const;
    char16_t dead_character(RowRef read_row, uint8_t column) const;

    // part() for a row the keymap found itself, on the typing path.
    const RowPart &own_part(RowRef ref) const { return row_parts_[ref.table][ref.row]; }

    LayoutTables tables_;
    std::vector<std::vector<RowPart>> row_parts_;   // one per table, one per row
    // The answers of the platform's linear searches, found once: the first
    // row of each virtual key, and the first entry of each composition pair
    // (dead << 16 | base) with its place in the table, ordered by pair.
    std::array<std::optional<RowRef>, 256> first_rows_{};
    std::vector<std::pair<uint32_t, size_t>> first_compositions_;
    bool kana_lock_rows_ = false;
};

}  // namespace wendol
