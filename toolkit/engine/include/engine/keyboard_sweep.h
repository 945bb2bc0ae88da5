// keyboard_sweep.h - every key of the keyboard pressed under every
// combination of the layout's modifier keys and every state of Caps Lock
// and Num Lock (and of the Kana lock, where a KANALOK row makes it matter),
// as a typist would press them: what the layout can type is
// exactly what this sweep delivers.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/keymap.h"
#include "engine/typing.h"

namespace wendol {

// The modifier keys held and the locks on while a key is pressed.
struct SweepState {
    std::vector<uint8_t> modifiers;   // virtual keys from the modifier map
    bool caps_lock = false;
    bool num_lock = false;
    bool kana_lock = false;
};

// The modifier map's distinct virtual keys, the first eight of them: no
// layout has more, and 2^8 combinations is already the whole byte.
std::vector<uint8_t> sweep_modifiers(const Keymap &keymap);

// Presses every scan code the maps give a virtual key, one at a time, each
// on a keyboard holding the state's modifiers and locks, and hands over
// what the press gave.  A key that toggles a lock is pressed a second time,
// so that the next key finds the state as it was.
void sweep_keyboard(const Keymap &keymap,
                    const std::function<void(const SweepState &, const Press &)> &visit);

}  // namespace wendol
