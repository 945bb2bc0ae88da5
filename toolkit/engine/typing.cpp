// typing.cpp - one key event through the maps, the modifier map, the
// character tables and the pending dead character.
#include "engine/typing.h"

#include <algorithm>

namespace wendol {

Typist::Typist(const Keymap &keymap)
    : keymap_(keymap),
      state_(KeyboardRules{keymap.right_alt_is_altgr(), keymap.shift_lock()})
{
}

// The modifier bits follow the keys the modifier map names, held on either
// side; only a key that is one of them, or holds one (the right Alt key
// under KLLF_ALTGR holds the left Ctrl), changes them.
void Typist::update_bits(uint8_t vk)
{
    const uint8_t generic = generic_key(vk);
    if (!keymap_.modifier_bits_of(vk) && !keymap_.modifier_bits_of(generic) &&
        !(vk == kVkRMenu && keymap_.right_alt_is_altgr()))
        return;
    unsigned bits = 0;
    for (const VkToBit &m : keymap_.modifier_keys())
        if (state_.is_down(m.vk))
            bits |= m.bits;
    bits_ = static_cast<uint8_t>(bits);
}

Press Typist::press(const Key &key)
{
    Press p;
    p.key = key;
    p.translation = keymap_.translate(key, state_.num_lock(), state_.is_down(kVkShift),
                                      state_.is_down(kVkControl));
    p.cell.bits = bits_;
    p.cell.column = keymap_.column(p.cell.bits);
    if (p.translation.vk == 0)
        return p;

    p.repeat = !state_.press(p.translation.vk);
    if (!p.repeat) {
        pressed_.emplace_back(key, p.translation.vk);
        update_bits(p.translation.vk);
    }

    type_cell(p, compose_);
    return p;
}

// The cell the held keys and the locks select, and what it delivers with
// what `compose` holds pending.
void Typist::type_cell(Press &p, Compose &compose) const
{
    const bool right_shift = state_.is_down(kVkRShift) && !state_.is_down(kVkLShift);
    p.cell = keymap_.typed(p.translation.vk,
                           ShiftState{bits_, state_.caps_lock(), state_.kana_lock(), right_shift});
    switch (p.cell.kind) {
    case Cell::Kind::Character:
    case Cell::Kind::Control:
    case Cell::Kind::Mark:
        p.delivery = compose.character(keymap_, p.cell.ch);
        break;
    case Cell::Kind::Dead:
        p.delivery = compose.dead(keymap_, p.cell.ch);
        break;
    case Cell::Kind::Ligature:
        p.delivery = compose.characters(keymap_, p.cell.ligature);
        break;
    default:
        // Nothing typed: whatever is pending stays pending.
        p.delivery.pending = compose.pending();
        break;
    }
}

bool Typist::peek(const Key &key, Press &p) const
{
    p.key = key;
    p.repeat = false;
    p.translation = keymap_.translate(key, state_.num_lock(), state_.is_down(kVkShift),
                                      state_.is_down(kVkControl));
    const uint8_t vk = p.translation.vk;
    const uint8_t generic = generic_key(vk);
    if (vk == 0 || state_.is_down(vk) || keymap_.modifier_bits_of(vk) ||
        keymap_.modifier_bits_of(generic) || vk == kVkCapital || vk == kVkNumLock ||
        vk == kVkScroll || vk == kVkKana || vk == kVkRMenu || generic == kVkShift)
        return false;   // the press would change the keyboard's state
    Compose compose = compose_;
    type_cell(p, compose);
    return true;
}

void Typist::release(const Key &key)
{
    auto held = std::find_if(pressed_.begin(), pressed_.end(),
                             [&](const auto &entry) { return entry.first == key; });
    if (held == pressed_.end())
        return;
    const uint8_t vk = held->second;
    pressed_.erase(held);
    state_.release(vk);
    update_bits(vk);
}

std::vector<Press> Typist::chord(const std::vector<Key> &keys)
{
    std::vector<Press> presses;
    for (const Key &key : keys)
        presses.push_back(press(key));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        release(*key);
    return presses;
}

std::u16string delivered(const std::vector<Press> &presses)
{
    std::u16string text;
    for (const Press &p : presses)
        text += p.delivery.text;
    return text;
}

}  // namespace wendol
