// keyboard_state.h - what is held down and what is locked, right now.
//
// The state knows virtual keys only: it is told which key went down or up
// and keeps the held set and the three locks.  It never looks at the
// layout's tables; which keys are modifiers and what they select is the
// keymap's business.  The two locale flags that change what a key does to
// the state reach it as rules (see KeyboardRules).
#pragma once

#include <bitset>
#include <cstdint>
#include <vector>

#include "tables/kbd_format.h"

namespace wendol {


// The generic modifier key that a sided one stands for (VK_LSHIFT and
// VK_RSHIFT -> VK_SHIFT, and so on for Ctrl and Alt); any other key is itself.
inline uint8_t generic_key(uint8_t vk)
{
    switch (vk) {
    case kVkLShift: case kVkRShift: return kVkShift;
    case kVkLControl: case kVkRControl: return kVkControl;
    case kVkLMenu: case kVkRMenu: return kVkMenu;
    default: return vk;
    }
}

// How the layout's locale flags make keys act on the state.
struct KeyboardRules {
    // KLLF_ALTGR: the platform sends a left Ctrl down and up with the right
    // Alt key, so AltGr holds Ctrl+Alt.  The left Ctrl goes up with the right
    // Alt even where it was also held by hand, as the platform sends it.
    bool right_alt_holds_ctrl = false;
    // KLLF_SHIFTLOCK: the Caps Lock key only turns Caps Lock on, and either
    // Shift key turns it off.
    bool shift_lock = false;
};

class KeyboardState {
public:
    explicit KeyboardState(KeyboardRules rules = {}) : rules_(rules) {}

    // A key went down.  Caps Lock, Num Lock, Scroll Lock and the Kana lock
    // (VK_KANA) toggle on the press, not on an auto-repeat of a key already down (Caps Lock under
    // the rules above).  Returns false for such a repeat.
    bool press(uint8_t vk);
    void release(uint8_t vk);

    // Held, counting a sided modifier as its generic key too: is_down(VK_SHIFT)
    // holds while either Shift key is down.
    bool is_down(uint8_t vk) const;
    std::vector<uint8_t> held() const;   // in ascending order

    bool caps_lock() const { return caps_lock_; }
    bool num_lock() const { return num_lock_; }
    bool scroll_lock() const { return scroll_lock_; }
    // The Kana key's toggle: KBDKANA on a KANALOK row while it is on.
    bool kana_lock() const { return kana_lock_; }

private:
    void lock_caps(uint8_t vk);

    KeyboardRules rules_;
    std::bitset<256> down_;
    bool caps_lock_ = false;
    bool num_lock_ = false;
    bool scroll_lock_ = false;
    bool kana_lock_ = false;
};

// Asked for every modifier on every key press: inline.
inline bool KeyboardState::is_down(uint8_t vk) const
{
    if (down_.test(vk))
        return true;
    switch (vk) {
    case kVkShift: return down_.test(kVkLShift) || down_.test(kVkRShift);
    case kVkControl: return down_.test(kVkLControl) || down_.test(kVkRControl);
    case kVkMenu: return down_.test(kVkLMenu) || down_.test(kVkRMenu);
    default: return false;
    }
}

}  // namespace wendol
