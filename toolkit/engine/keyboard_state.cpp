// keyboard_state.cpp - the held keys and the locks.
#include "engine/keyboard_state.h"

namespace wendol {

bool KeyboardState::press(uint8_t vk)
{
    if (down_.test(vk))
        return false;
    down_.set(vk);
    if (vk == kVkRMenu && rules_.right_alt_holds_ctrl)
        down_.set(kVkLControl);
    lock_caps(vk);
    switch (vk) {
    case kVkNumLock: num_lock_ = !num_lock_; break;
    case kVkScroll: scroll_lock_ = !scroll_lock_; break;
    case kVkKana: kana_lock_ = !kana_lock_; break;
    default: break;
    }
    return true;
}

// Caps Lock toggles with its key; as a Shift lock its key sets it and a
// Shift key clears it.
void KeyboardState::lock_caps(uint8_t vk)
{
    if (!rules_.shift_lock) {
        if (vk == kVkCapital)
            caps_lock_ = !caps_lock_;
        return;
    }
    if (vk == kVkCapital)
        caps_lock_ = true;
    else if (generic_key(vk) == kVkShift)
        caps_lock_ = false;
}

void KeyboardState::release(uint8_t vk)
{
    down_.reset(vk);
    if (vk == kVkRMenu && rules_.right_alt_holds_ctrl)
        down_.reset(kVkLControl);
}

std::vector<uint8_t> KeyboardState::held() const
{
    std::vector<uint8_t> keys;
    for (unsigned vk = 0; vk < down_.size(); ++vk)
        if (down_.test(vk))
            keys.push_back(static_cast<uint8_t>(vk));
    return keys;
}

}  // namespace wendol
