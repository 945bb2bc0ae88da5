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

// One key going down and what came of it.
struct Press {
    Key key;
    Translation translation;
    bool repeat = false;              // the key was already down
    Cell cell;                        // with the modifier bits and column it was read with
    Delivery delivery;
};

class Typist {
public:
    // The keymap must outlive the typist.
    explicit Typist(const Keymap &keymap);

    Press press(const Key &key);
    // What pressing and releasing the key would give, on this keyboard,
    // leaving it as it is, into `press`; false for a key whose press
    // changes the keyboard's state (a modifier, a lock, a key already
    // down): press that one.
    bool peek(const Key &key, Press &press) const;
    void release(const Key &key);
    // Presses the keys in order and releases them in reverse order.
    std::vector<Press> chord(const std::vector<Key> &keys);

    const KeyboardState &state() const { return state_; }
    std::optional<char16_t> pending() const { return compose_.pending(); }
    uint8_t modifier_bits() const { return bits_; }

private:
    void update_bits(uint8_t vk);
    void type_cell(Press &p, Compose &compose) const;

    const Keymap &keymap_;
    KeyboardState state_;
    Compose compose_;
    std::vector<std::pair<Key, uint8_t>> pressed_;   // each key held and the VK it sent
    uint8_t bits_ = 0;                               // what the held modifier keys make
};

// Everything the presses delivered, in order.
std::u16string delivered(const std::vector<Press> &presses);

}  // namespace wendol
