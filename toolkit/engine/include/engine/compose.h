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

#include <functional>
#include <optional>
#include <vector>
#include <string>
#include <string_view>

#include "engine/keymap.h"

namespace wendol {

// What a character or dead key delivered, given what was pending.
struct Delivery {
    std::u16string text;                 // the characters delivered, in order
    std::optional<char16_t> pending;     // the dead character pending afterwards
    const DeadKeyEntry *entry = nullptr; // the composition used, if any
    bool unmatched = false;              // a pending dead character found no entry
};

// Dead characters that compositions marked DKF_DEAD leave pending, from the
// dead characters `start` outwards, breadth first: each is reached once, by
// the fewest compositions, so that a chain that leads back to a dead
// character already reached ends there.  `is_base` tells whether a base can
// be typed: by a key, or by a dead key, whose dead character composes as
// any other.  `reached` is told each composition that reaches a new dead
// character (its result), after the one its own dead character came from.
void follow_chains(const Keymap &keymap, const std::vector<char16_t> &start,
                   const std::function<bool(char16_t)> &is_base,
                   const std::function<void(const DeadKeyEntry &)> &reached);

class Compose {
public:
    Delivery character(const Keymap &keymap, char16_t ch);
    Delivery dead(const Keymap &keymap, char16_t dead);
    Delivery characters(const Keymap &keymap, std::u16string_view text);

    std::optional<char16_t> pending() const { return pending_; }
    void reset() { pending_.reset(); }

private:
    Delivery combine(const Keymap &keymap, char16_t ch, bool ch_is_dead);

    std::optional<char16_t> pending_;
};

}  // namespace wendol
