// keyboard_sweep.cpp - every key, every modifier combination, every lock.
#include "engine/keyboard_sweep.h"

#include <algorithm>
#include <optional>

namespace wendol {

namespace {

constexpr size_t kMaxSweptModifiers = 8;

struct Locks {
    bool caps, num, scroll, kana;
    friend bool operator==(const Locks &, const Locks &) = default;
};

Locks locks_of(const Typist &typist)
{
    const KeyboardState &s = typist.state();
    return {s.caps_lock(), s.num_lock(), s.scroll_lock(), s.kana_lock()};
}

// A press the tables could not answer, told to `broken` when given.
void tell_broken(const Press &press, const SweepState &state, const SweepBroken &broken)
{
    if (broken && press.cell.kind == Cell::Kind::Broken)
        broken(state, press.key, *press.cell.fault);
}

void tap(Typist &typist, const Key &key, const SweepState &state, const SweepBroken &broken)
{
    tell_broken(typist.press(key), state, broken);
    typist.release(key);
}

// A keyboard with the state's locks on and its modifiers held.
void set_up(Typist &typist, const SweepState &state, const SweepBroken &broken)
{
    if (state.caps_lock)
        tap(typist, VirtualKey{kVkCapital}, state, broken);
    if (state.num_lock)
        tap(typist, VirtualKey{kVkNumLock}, state, broken);
    // A Kana key held as a modifier flips the lock as it goes down.
    const bool holds_kana = std::find(state.modifiers.begin(), state.modifiers.end(),
                                      kVkKana) != state.modifiers.end();
    if (state.kana_lock != holds_kana)
        tap(typist, VirtualKey{kVkKana}, state, broken);
    // A modifier's own cell may be broken: the modifier is down all the same.
    for (uint8_t vk : state.modifiers)
        tell_broken(typist.press(VirtualKey{vk}), state, broken);
}

void sweep_state(const Keymap &keymap, const std::vector<ScanCode> &keys, const SweepState &state,
                 const SweepVisit &visit, const SweepBroken &broken)
{
    Typist typist(keymap);
    set_up(typist, state, broken);
    const Locks before = locks_of(typist);
    Press asked;
    for (const ScanCode &scan : keys) {
        // Most keys change nothing on the keyboard: asked, not pressed.
        if (typist.peek(scan, asked)) {
            if (asked.cell.kind == Cell::Kind::Broken)
                tell_broken(asked, state, broken);
            else
                visit(state, asked);
            continue;
        }
        const Press press = typist.press(scan);
        typist.release(scan);
        if (press.cell.kind == Cell::Kind::Broken)
            tell_broken(press, state, broken);
        else
            visit(state, press);
        if (locks_of(typist) != before)
            tap(typist, scan, state, nullptr);
    }
}

}  // namespace

bool sent_by_a_key(const Keymap &keymap, uint8_t vk)
{
    for (const auto &[scan, mapped] : keymap.scan_codes()) {
        const auto sent = static_cast<uint8_t>(mapped & 0xFF);
        if (sent == vk || generic_key(sent) == vk || keypad_digit(mapped) == vk)
            return true;
    }
    return false;
}

std::vector<uint8_t> sweep_modifiers(const Keymap &keymap)
{
    std::vector<uint8_t> vks;
    for (const VkToBit &m : keymap.modifier_keys())
        if (m.vk != 0 && std::find(vks.begin(), vks.end(), m.vk) == vks.end() &&
            vks.size() < kMaxSweptModifiers)
            vks.push_back(m.vk);
    return vks;
}

const char *caps_lock_name(const Keymap &keymap)
{
    return keymap.shift_lock() ? "Shift Lock" : "Caps Lock";
}

std::string locks_text(const Keymap &keymap, const SweepState &state)
{
    std::string text;
    if (state.caps_lock)
        text += std::string(caps_lock_name(keymap)) + " on";
    if (state.num_lock)
        text += std::string(text.empty() ? "" : ", ") + "Num Lock on";
    if (state.kana_lock)
        text += std::string(text.empty() ? "" : ", ") + "Kana lock on";
    return text;
}

void sweep_keyboard(const Keymap &keymap, const SweepVisit &visit, const SweepBroken &broken)
{
    std::vector<ScanCode> keys;
    for (const auto &[scan, vk] : keymap.scan_codes())
        keys.push_back(scan);
    const std::vector<uint8_t> modifiers = sweep_modifiers(keymap);
    // The Kana key is the one an East Asian layout may leave to its NLS
    // tables; any other modifier no scan code sends is the layout's loss.
    const bool kana_unsent = !sent_by_a_key(keymap, kVkKana);
    std::vector<bool> unsent;
    for (uint8_t vk : modifiers)
        unsent.push_back(vk == kVkKana && kana_unsent);
    SweepState state;
    const bool kana_matters = keymap.has_kana_lock_rows();
    for (const bool kana : {false, true}) {
        if (kana && !kana_matters)
            break;
        for (const bool caps : {false, true}) {
            for (const bool num : {false, true}) {
                for (unsigned held = 0; held < (1u << modifiers.size()); ++held) {
                    state.caps_lock = caps;
                    state.num_lock = num;
                    state.kana_lock = kana;
                    state.by_virtual_key = kana && kana_unsent;
                    state.modifiers.clear();
                    for (size_t i = 0; i < modifiers.size(); ++i) {
                        if (!(held & (1u << i)))
                            continue;
                        state.modifiers.push_back(modifiers[i]);
                        state.by_virtual_key = state.by_virtual_key || unsent[i];
                    }
                    sweep_state(keymap, keys, state, visit, broken);
                }
            }
        }
    }
}

}  // namespace wendol
