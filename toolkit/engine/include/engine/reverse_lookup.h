// reverse_lookup.h - from a character back to the keys that type it.
//
// The platform's answer walks the character tables in list order, row by
// row, and stops at the first cell holding the character; a match in a
// continuation row (a Caps Lock row or a dead-character row) is reported on
// the key row above it, and the shift state is the lowest modifier bits that
// select the column.  That answer says neither that Caps Lock must be on nor
// that a dead character only comes out after a second key.
//
// The way to type it goes further: the first key and column that give the
// character directly, with Caps Lock and the Kana lock as that row needs
// them and Num Lock for the keypad digits; failing that, a dead key
// followed by a base key, from the first composition entry whose two halves
// can both be typed; failing that, a chain: a dead key and bases whose
// compositions are themselves dead (DKF_DEAD), each dead character reached
// once by its fewest strokes, then the base that composes the character;
// failing that, the first key whose ligature types it among others.
#pragma once

#include <map>
#include <string>
#include <optional>
#include <vector>

#include "engine/keymap.h"

namespace wendol {

// What the platform's reverse lookup reports.
struct PlatformMatch {
    uint8_t vk = 0;          // of the key row
    uint8_t bits = 0;        // lowest modifier bits selecting the column
    RowRef key_row;
    RowRef match_row;        // where the character sits
    uint8_t column = 0;
    RowRole role = RowRole::KeyRow;   // what match_row is to its key (char_rows.h)
};

// One key pressed with its modifiers, with the locks as it needs them.
struct Stroke {
    std::vector<Key> keys;             // modifiers first, the key last
    uint8_t vk = 0;
    uint8_t bits = 0;
    RowRef key_row;
    uint8_t column = 0;
    std::optional<bool> caps_lock;     // must be on / off; unset: either
    std::optional<bool> num_lock;
    std::optional<bool> kana_lock;     // as it must be before the stroke
    bool toggles_kana = false;         // a modifier of the stroke is the Kana key
    bool dead = false;                 // the stroke leaves a dead character pending
    char16_t gives = 0;                // the character, or the dead character
    std::u16string ligature;           // what a ligature stroke types (then `gives` is 0)
};

struct Way {
    // One stroke; or a dead key and a base; or a chain: a dead key, the
    // bases of the DKF_DEAD compositions, and the last base.
    std::vector<Stroke> strokes;
    const DeadKeyEntry *composition = nullptr;   // the last composition
    std::vector<const DeadKeyEntry *> chain{};   // the DKF_DEAD ones before it, in order

    // What typing the way delivers: the character, or a ligature's characters.
    std::u16string text(char32_t ch) const;
};

struct Found {
    char32_t ch = 0;
    std::optional<PlatformMatch> platform;
    std::optional<Way> way;
};

// Physical keys and the locks they need, from the scan-code maps.
class KeyFinder {
public:
    explicit KeyFinder(const Keymap &keymap) : codes_(keymap.scan_codes()) {}

    // A key that sends `vk` with these modifiers held, with the Num Lock
    // state it needs.
    std::optional<std::pair<Key, std::optional<bool>>> key_for(uint8_t vk, bool shift,
                                                               bool ctrl) const;
    // A key that sends `vk` whatever the locks, for modifiers and locks.
    std::optional<Key> plain_key_for(uint8_t vk) const;

private:
    std::vector<std::pair<ScanCode, uint16_t>> codes_;
};

// The lookup for one keymap.  The tables are walked once, when it is made,
// and each character's first cell and first stroke kept, so that looking up
// every character a layout types costs one walk, not one walk each.  The
// keymap must outlive it.
class ReverseLookup {
public:
    explicit ReverseLookup(const Keymap &keymap);

    Found find(char32_t ch) const;

    // The keys to press for a way, starting with every lock off: Kana,
    // CapsLock and NumLock presses are put in where a stroke needs a lock
    // changed.  The locks are left as the last stroke needs them.
    std::vector<std::vector<Key>> key_sequence(const Way &way) const;

private:
    void find_platform_matches();
    void find_first_strokes();
    void find_chains();
    void keep_first_stroke(const CharRow &row, RowRef ref, unsigned column, bool caps, bool kana);
    std::optional<Stroke> make_stroke(uint8_t vk, uint8_t bits, std::optional<bool> caps,
                                      std::optional<bool> kana, const Cell &cell) const;
    std::optional<Way> composed_way(char16_t ch, bool through_chains) const;
    const Stroke *base_stroke(char16_t ch) const;

    // A dead character reached through DKF_DEAD compositions: the strokes
    // that leave it pending and the compositions on the way.
    struct Chain {
        std::vector<Stroke> strokes;
        std::vector<const DeadKeyEntry *> entries;
    };

    const Keymap &keymap_;
    KeyFinder keys_;
    std::optional<Key> caps_key_, num_key_, kana_key_;
    std::map<char16_t, PlatformMatch> platform_;   // the first cell holding each character
    std::map<char16_t, Stroke> direct_;            // the first stroke typing each character
    std::map<char16_t, Stroke> dead_;              // the first stroke leaving each dead character
    std::map<char32_t, Stroke> ligature_;          // the first ligature stroke typing each character
    std::map<char16_t, Chain> chains_;             // dead characters only a chain leaves
};

// One lookup, for a caller that wants one character.
Found find_character(const Keymap &keymap, char32_t ch);

}  // namespace wendol
