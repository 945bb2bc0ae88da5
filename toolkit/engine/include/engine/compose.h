// compose.h - the pending dead character.
//
// A dead key leaves its dead character pending; the next character is looked
// up with it in the composition table.  Where the table has an entry, its
// result is delivered (and, when the entry is itself marked dead, becomes
// the new pending character).  Where it has none, the dead character is
// delivered followed by the character, and nothing stays pending.  A second
// dead key is looked up the same way with its dead character: two dead keys
// without an entry deliver both dead characters.  The space bar is no special
// case: the table's space entries give the spacing accents.
//
// A ligature's characters go through the same lookup one after another, as
// if typed by keys of their own: the first meets the pending dead character
// (the engine's choice; see the README).
//
// Keys that give no character (modifiers, navigation keys, empty cells)
// leave the pending character as it is.
#pragma once

#include <optional>
#include <string>

#include "engine/keymap.h"

namespace wendol {

// What a character or dead key delivered, given what was pending.
struct Delivery {
    std::u16string text;                 // the characters delivered, in order
    std::optional<char16_t> pending;     // the dead character pending afterwards
    const DeadKeyEntry *entry = nullptr; // the composition used, if any
    bool unmatched = false;              // a pending dead character found no entry
};

class Compose {
public:
    Delivery character(const Keymap &keymap, char16_t ch);
    Delivery dead(const Keymap &keymap, char16_t dead);
    Delivery characters(const Keymap &keymap, const std::u16string &text);

    std::optional<char16_t> pending() const { return pending_; }
    void reset() { pending_.reset(); }

private:
    Delivery combine(const Keymap &keymap, char16_t ch, bool ch_is_dead);

    std::optional<char16_t> pending_;
};

}  // namespace wendol
