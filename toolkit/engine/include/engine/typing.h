// typing.h - key events in, characters out, as the platform types with the
// layout: the scan code goes through the scan-code maps to a virtual key
// (Num Lock turning the keypad's navigation keys into digits), the held
// modifiers select a column through the modifier map, the key's row gives
// the cell (its Caps Lock row under Caps Lock), and a dead character waits
// for the next character.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/compose.h"
#include "engine/keyboard_state.h"
#include "engine/keymap.h"

namespace wendol {

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

// One key going down and what came of it.
struct Press {
    Key key;
    Translation translation;
    bool repeat = false;              // the key was already down
    Cell cell;                        // with the modifier bits and column it was read with
    Delivery delivery;
};

// The keypad digit or decimal key that Num Lock makes of a navigation key.
std::optional<uint8_t> num_lock_key(uint8_t navigation_vk);

class Typist {
public:
    // The keymap must outlive the typist.
    explicit Typist(const Keymap &keymap);

    Press press(const Key &key);
    void release(const Key &key);
    // Presses the keys in order and releases them in reverse order.
    std::vector<Press> chord(const std::vector<Key> &keys);

    const KeyboardState &state() const { return state_; }
    std::optional<char16_t> pending() const { return compose_.pending(); }
    uint8_t modifier_bits() const;

private:
    Translation translate(const Key &key) const;

    const Keymap &keymap_;
    KeyboardState state_;
    Compose compose_;
    std::vector<std::pair<Key, uint8_t>> pressed_;   // each key held and the VK it sent
};

// Everything the presses delivered, in order.
std::u16string delivered(const std::vector<Press> &presses);

}  // namespace wendol
