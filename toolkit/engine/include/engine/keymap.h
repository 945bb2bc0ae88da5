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
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "base/error.h"
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

// How the platform turned a key into the virtual key it sends now.
struct Translation {
    enum class Rule {
        AsMapped,         // the map's virtual key (or the virtual key given)
        NumLock,          // a keypad key under Num Lock: VK_NUMPAD0..9, VK_DECIMAL
        ShiftNavigation,  // the same key with Shift held: its navigation key
        CtrlPause,        // Ctrl with Num Lock sends VK_PAUSE
        CtrlBreak,        // Ctrl with Scroll Lock sends VK_CANCEL
    };
    std::optional<uint16_t> mapped;  // the scan-code map's entry, flag bits included
    uint8_t vk = 0;                  // the virtual key sent; 0 when the key sends none
    Rule rule = Rule::AsMapped;
};

// The keypad digit or decimal key that Num Lock makes of a navigation key.
std::optional<uint8_t> num_lock_key(uint8_t navigation_vk);

// The digit Num Lock makes of a key whose map entry is `mapped`: only a key
// of the keypad's digit block (KBDNUMPAD and not KBDEXT, so never the grey
// navigation keys) sending a navigation key.
std::optional<uint8_t> keypad_digit(uint16_t mapped);

// Why the tables cannot answer a key: a row or cell they call for is not
// there.  Kept by the keymap; a Cell points at it.
struct CellFault {
    RowRef row;               // the row being read
    uint8_t column = 0;
    std::string expected;     // "a Caps Lock row below the SGCAPS row"
    std::string found;        // "the end of the table"

    Error error(const LayoutTables &tables) const;   // with the row's place as context
};

// What a key gives with the modifier bits held.
struct Cell {
    enum class Kind : uint8_t {
        NoRow,      // no table has a row for the key
        NoColumn,   // the modifiers select no column, or one beyond the table
        None,       // WCH_NONE
        Character,
        Dead,       // WCH_DEAD; `ch` is the dead character of the row below
        Ligature,   // WCH_LGTR; `ligature` holds what its entry types (empty: no entry)
        Control,    // Ctrl+letter where the tables give nothing: the platform's C0 character
        Mark,       // KLLF_LRM_RLM: Shift+Backspace gives U+200E or U+200F
        Broken,     // the tables break their own rules here: `fault` says how
    };
    Kind kind = Kind::NoRow;
    char16_t ch = 0;
    // Alt held alone (or with Shift): the platform looks the key up without
    // the Alt bit and delivers the character as a system character.
    bool system = false;
    // The modification number was SHFT_INVALID, or the bits lie past
    // wMaxModBits: the platform types nothing at all, not even Ctrl+letter.
    bool invalid = false;
    std::u16string_view ligature;   // a Ligature cell's characters, kept by the keymap
    const LigatureEntry *entry = nullptr;   // a Ligature cell's entry, if the list has one
    const CellFault *fault = nullptr;       // a Broken cell's reason, kept by the keymap
    unsigned bits = 0;              // as the column was chosen (Alt cleared, Caps Lock
                                    // adding Shift, the Kana lock KBDKANA)
    std::optional<uint8_t> column;  // what those bits select
    RowRef key_row;                 // the key's own row, unless NoRow
    RowRef read_row;                // the row the cell was read from (the Caps Lock row under Caps Lock)
};

// The modifier bits held and the locks on, as the character lookup takes them.
struct ShiftState {
    unsigned bits = 0;          // what the held modifier keys make
    bool caps_lock = false;
    bool kana_lock = false;
    bool right_shift = false;   // the right Shift key is down and the left one is not
};

// The layout compiled once from the tables: every platform rule of the
// character lookup lives here, and every reader (typing, the reverse
// lookup, the sweep, the verifier's reach, the chart, the Linux form) asks
// it rather than the tables.
class Keymap {
public:
    explicit Keymap(LayoutTables tables);

    // Cells point into what the keymap keeps, which a move carries along
    // and a copy would not.
    Keymap(const Keymap &) = delete;
    Keymap &operator=(const Keymap &) = delete;
    Keymap(Keymap &&) = default;

    const LayoutTables &tables() const { return tables_; }

    // The scan-code maps: the virtual key in the low byte and the flag bits
    // in the high byte, as stored; nothing where the map has no entry or the
    // entry is the no-key value 0xFF.
    std::optional<uint16_t> virtual_key(ScanCode scan) const;

    // Every scan code the maps give a virtual key, base map first, then the
    // E0 and the E1 lists, each in stored order, each once.
    const std::vector<std::pair<ScanCode, uint16_t>> &scan_codes() const { return scan_codes_; }

    // The platform's translation of a key to the virtual key it sends, with
    // the keyboard as it is: Num Lock's keypad digits (Shift giving the
    // navigation key back), and Ctrl turning Num Lock into Pause and Scroll
    // Lock into Break.
    Translation translate(const Key &key, bool num_lock, bool shift_down, bool ctrl_down) const;

    // The modifier map.
    const std::vector<VkToBit> &modifier_keys() const { return tables_.modifiers.keys; }
    // The bits a key held down contributes (zero for a key the map lacks).
    uint8_t modifier_bits_of(uint8_t vk) const { return vk_bits_[vk]; }
    // The modifier keys, in the map's order, whose bits are all in `bits`:
    // the keys a person holds for them.
    std::vector<uint8_t> keys_making(unsigned bits) const;
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
    // The row the platform reads for an SGCAPS key under Caps Lock: the next
    // one, whatever its virtual key; nothing at the table's end.
    std::optional<RowRef> caps_row(RowRef key_row) const;
    // Every column of the row the platform finds for `vk` (caps_row: of its
    // Caps Lock row, when the row is SGCAPS), resolved as a key reads it;
    // empty where there is no such row.
    std::span<const Cell> cells_of(uint8_t vk, bool caps_row = false) const;
    // Whether the platform reads an SGCAPS key's Caps Lock row (and lets
    // CAPLOK act) with these modifier bits held: only while nothing but
    // Shift is.
    static bool reads_caps_row(unsigned bits) { return (bits & ~kKbdShift) == 0; }
    // Whether Caps Lock can change what the row gives under some modifiers.
    static bool caps_matters(uint8_t attributes);
    // Whether a keypad digit key under Num Lock sends its digit with these
    // modifier bits held: not while Shift is, which gives the navigation
    // key back (the platform's way of letting Shift select on a keypad that
    // types digits).
    static bool sends_keypad_digit(unsigned bits) { return (bits & kKbdShift) == 0; }

    // The platform's character lookup for a key with modifier bits held:
    // Alt alone (or with Shift) is cleared; on a KANALOK row under the Kana
    // lock KBDKANA is added, and Caps Lock's attributes are not applied;
    // otherwise under Caps Lock a CAPLOK row reads the Shift column while
    // nothing but Shift is held, a CAPLOKALTGR row while Ctrl and Alt are
    // held, and an SGCAPS row its Caps Lock row while nothing but Shift is
    // held.  Where the tables break their own rules the cell is Broken.
    Cell cell(uint8_t vk, unsigned bits, bool caps_lock, bool kana_lock = false) const;
    // What pressing the key types: the cell, or the platform's own
    // characters: Ctrl+A .. Ctrl+Z give U+0001 .. U+001A while the bits
    // held are exactly Ctrl or Ctrl+Shift (KBDKANA aside) and the cell is
    // WCH_NONE or past the row; on a KLLF_LRM_RLM layout Shift+Backspace
    // gives U+200E with the left Shift key, U+200F with the right.
    Cell typed(uint8_t vk, const ShiftState &state) const;

    // The first entry of the ligature list for the key and column, as the
    // platform searches it: from the start.
    const LigatureEntry *ligature(uint8_t vk, uint8_t column) const;
    // Whether any key row is KANALOK: only then does the Kana lock change
    // what a key types.
    bool has_kana_lock_rows() const { return kana_lock_rows_; }

    // The layout's locale flags: KLLF_ALTGR (the right Alt key is AltGr,
    // Ctrl+Alt to the tables), KLLF_SHIFTLOCK (Caps Lock is a Shift lock
    // that Shift releases) and KLLF_LRM_RLM.
    bool right_alt_is_altgr() const { return tables_.locale_flags & kKllfAltGr; }
    bool shift_lock() const { return tables_.locale_flags & kKllfShiftLock; }
    bool lrm_rlm() const { return tables_.locale_flags & kKllfLrmRlm; }

    // The composition table's entry for the pair, if any: the first, as the
    // platform searches from the start.
    const DeadKeyEntry *composition(char16_t dead, char16_t base) const;
    // The entries that compose, in stored order: the first for each pair.
    // A later entry for the same pair is never used.
    const std::vector<const DeadKeyEntry *> &compositions() const { return compositions_; }

private:
    // A key's row and its Caps Lock row, every column resolved once into
    // cells_: the key row's columns from `first`, then the Caps Lock row's.
    struct CompiledKey {
        RowRef key_row;
        uint8_t attributes = 0;
        uint8_t columns = 0;
        bool caps = false;   // SGCAPS: a Caps Lock row's cells follow
        size_t first = 0;
    };

    Cell resolve(RowRef key_row, RowRef read_row, uint8_t column);
    const CellFault *keep_fault(RowRef row, uint8_t column, std::string expected,
                                std::string found);
    Cell lookup(uint8_t vk, unsigned bits, bool caps_lock, bool kana_lock) const;

    LayoutTables tables_;
    std::vector<std::vector<RowPart>> row_parts_;   // one per table, one per row
    // The scan-code maps as arrays: 0 where a scan code sends nothing.
    std::array<std::array<uint16_t, 256>, 3> scan_{};
    std::vector<std::pair<ScanCode, uint16_t>> scan_codes_;
    std::array<uint8_t, 256> vk_bits_{};
    std::array<uint8_t, 256> mod_number_{};   // SHFT_INVALID past wMaxModBits
    // The answers of the platform's linear searches, found once: the first
    // row of each virtual key, and the first entry of each composition pair
    // (dead << 16 | base) with its place in the table, ordered by pair.
    std::array<std::optional<RowRef>, 256> first_rows_{};
    std::array<int16_t, 256> key_of_vk_{};    // index into keys_, -1 for none
    std::vector<CompiledKey> keys_;
    std::vector<Cell> cells_;
    std::deque<CellFault> faults_;            // stable: cells point at them
    std::deque<std::u16string> ligature_texts_;
    std::vector<std::pair<uint32_t, size_t>> first_compositions_;
    std::vector<const DeadKeyEntry *> compositions_;
    bool kana_lock_rows_ = false;
};

}  // namespace wendol
