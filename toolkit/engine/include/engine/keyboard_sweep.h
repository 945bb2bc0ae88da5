// keyboard_sweep.h - every key of the keyboard pressed under every
// combination of the layout's modifier keys and every state of Caps Lock
// and Num Lock (and of the Kana lock, where a KANALOK row makes it matter),
// as a typist would press them: what the layout can type is
// exactly what this sweep delivers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/error.h"
#include "engine/keymap.h"
#include "engine/typing.h"

namespace wendol {

// The modifier keys held and the locks on while a key is pressed.
struct SweepState {
    std::vector<uint8_t> modifiers;   // virtual keys from the modifier map
    bool caps_lock = false;
    bool num_lock = false;
    bool kana_lock = false;
    // The Kana key held or its lock on where no scan code of the layout
    // sends VK_KANA (its Kana key comes from the NLS tables): no key of
    // this keyboard makes the state.
    bool by_virtual_key = false;
};

// Whether some scan code of the layout sends the virtual key: as mapped,
// as the generic key of a sided one, or as a keypad digit under Num Lock.
bool sent_by_a_key(const Keymap &keymap, uint8_t vk);

// The modifier map's distinct virtual keys, the first eight of them: no
// layout has more, and 2^8 combinations is already the whole byte.
std::vector<uint8_t> sweep_modifiers(const Keymap &keymap);

// What the lock Caps Lock turns on is called on this layout: "Shift Lock"
// under KLLF_SHIFTLOCK (Shift releases it), "Caps Lock" otherwise.
const char *caps_lock_name(const Keymap &keymap);

// The state as a typist would say it: "Caps Lock on, Num Lock on", or ""
// with no lock on.
std::string locks_text(const Keymap &keymap, const SweepState &state);

using SweepVisit = std::function<void(const SweepState &, const Press &)>;
// A press the tables cannot answer (keymap.h: a Broken cell), with its fault.
using SweepBroken = std::function<void(const SweepState &, const Key &, const CellFault &)>;

// Presses every scan code the maps give a virtual key, one at a time, each
// on a keyboard holding the state's modifiers and locks, and hands over
// what the press gave.  A key that toggles a lock is pressed a second time,
// so that the next key finds the state as it was.  A press the tables
// cannot answer goes to `broken` (when given) and the sweep goes on with
// the next key: one broken row costs its own key, never the rest.
void sweep_keyboard(const Keymap &keymap, const SweepVisit &visit,
                    const SweepBroken &broken = nullptr);

}  // namespace wendol
