// typing.cpp - one key event through the maps, the modifier map, the
// character tables and the pending dead character.
#include "engine/typing.h"

#include <algorithm>

namespace wendol {

std::optional<uint8_t> num_lock_key(uint8_t navigation_vk)
{
    switch (navigation_vk) {
    case 0x2D: return 0x60;   // VK_INSERT -> VK_NUMPAD0
    case 0x23: return 0x61;   // VK_END    -> VK_NUMPAD1
    case 0x28: return 0x62;   // VK_DOWN   -> VK_NUMPAD2
    case 0x22: return 0x63;   // VK_NEXT   -> VK_NUMPAD3
    case 0x25: return 0x64;   // VK_LEFT   -> VK_NUMPAD4
    case 0x0C: return 0x65;   // VK_CLEAR  -> VK_NUMPAD5
    case 0x27: return 0x66;   // VK_RIGHT  -> VK_NUMPAD6
    case 0x24: return 0x67;   // VK_HOME   -> VK_NUMPAD7
    case 0x26: return 0x68;   // VK_UP     -> VK_NUMPAD8
    case 0x21: return 0x69;   // VK_PRIOR  -> VK_NUMPAD9
    case 0x2E: return 0x6E;   // VK_DELETE -> VK_DECIMAL
    default: return std::nullopt;
    }
}

Typist::Typist(const Keymap &keymap)
    : keymap_(keymap),
      state_(KeyboardRules{keymap.right_alt_is_altgr(), keymap.shift_lock()})
{
}

Translation Typist::translate(const Key &key) const
{
    Translation t;
    if (const auto *vk = std::get_if<VirtualKey>(&key)) {
        t.vk = vk->code;
        return t;
    }
    t.mapped = keymap_.virtual_key(std::get<ScanCode>(key));
    if (!t.mapped)
        return t;
    t.vk = static_cast<uint8_t>(*t.mapped & 0xFF);
    uint16_t flags = *t.mapped & 0xFF00;

    // The keypad keys: digits under Num Lock, unless Shift is held, which
    // gives the navigation key back (the platform's way of letting Shift
    // select on a keypad that types digits).  The grey navigation keys are
    // extended and never become digits.
    if ((flags & kKbdNumpad) && !(flags & kKbdExt) && state_.num_lock()) {
        if (auto digit = num_lock_key(t.vk)) {
            if (state_.is_down(kVkShift)) {
                t.rule = Translation::Rule::ShiftNavigation;
            } else {
                t.vk = *digit;
                t.rule = Translation::Rule::NumLock;
            }
        }
    }
    // Keys that send another virtual key with Ctrl: Num Lock is Pause and
    // Scroll Lock is Break, as on keyboards without those keys.
    if ((flags & kKbdMultiVk) && state_.is_down(kVkControl)) {
        if (t.vk == kVkNumLock) {
            t.vk = kVkPause;
            t.rule = Translation::Rule::CtrlPause;
        } else if (t.vk == kVkScroll) {
            t.vk = kVkCancel;
            t.rule = Translation::Rule::CtrlBreak;
        }
    }
    return t;
}

uint8_t Typist::modifier_bits() const
{
    unsigned bits = 0;
    for (const VkToBit &m : keymap_.modifier_keys())
        if (state_.is_down(m.vk))
            bits |= m.bits;
    return static_cast<uint8_t>(bits);
}

Press Typist::press(const Key &key)
{
    Press p;
    p.key = key;
    p.translation = translate(key);
    p.cell.bits = modifier_bits();
    p.cell.column = keymap_.column(p.cell.bits);
    if (p.translation.vk == 0)
        return p;

    p.repeat = !state_.press(p.translation.vk);
    if (!p.repeat)
        pressed_.emplace_back(key, p.translation.vk);

    const HeldKeys held{state_.is_down(kVkControl), state_.is_down(kVkMenu)};
    p.cell = keymap_.typed(p.translation.vk, modifier_bits(), state_.caps_lock(), held,
                           state_.kana_lock());
    switch (p.cell.kind) {
    case Cell::Kind::Character:
    case Cell::Kind::Control:
        p.delivery = compose_.character(keymap_, p.cell.ch);
        break;
    case Cell::Kind::Dead:
        p.delivery = compose_.dead(keymap_, p.cell.ch);
        break;
    case Cell::Kind::Ligature:
        p.delivery = compose_.characters(keymap_, p.cell.ligature);
        break;
    default:
        // Nothing typed: whatever is pending stays pending.
        p.delivery.pending = compose_.pending();
        break;
    }
    return p;
}

void Typist::release(const Key &key)
{
    auto held = std::find_if(pressed_.begin(), pressed_.end(),
                             [&](const auto &entry) { return entry.first == key; });
    if (held == pressed_.end())
        return;
    state_.release(held->second);
    pressed_.erase(held);
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
