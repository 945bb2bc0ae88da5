// keyboard_sweep.cpp - every key, every modifier combination, every lock.
#include "engine/keyboard_sweep.h"

#include <algorithm>

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

void tap(Typist &typist, uint8_t vk)
{
    typist.chord({VirtualKey{vk}});
}

// A keyboard with the state's locks on and its modifiers held.
void set_up(Typist &typist, const SweepState &state)
{
    if (state.caps_lock)
        tap(typist, kVkCapital);
    if (state.num_lock)
        tap(typist, kVkNumLock);
    // A Kana key held as a modifier flips the lock as it goes down.
    const bool holds_kana = std::find(state.modifiers.begin(), state.modifiers.end(),
                                      kVkKana) != state.modifiers.end();
    if (state.kana_lock != holds_kana)
        tap(typist, kVkKana);
    for (uint8_t vk : state.modifiers)
        typist.press(VirtualKey{vk});
}

void sweep_state(const Keymap &keymap, const std::vector<ScanCode> &keys, const SweepState &state,
                 const std::function<void(const SweepState &, const Press &)> &visit)
{
    Typist typist(keymap);
    set_up(typist, state);
    const Locks before = locks_of(typist);
    for (const ScanCode &scan : keys) {
        visit(state, typist.press(scan));
        typist.release(scan);
        if (locks_of(typist) != before) {
            typist.press(scan);
            typist.release(scan);
        }
    }
}

}  // namespace

std::vector<uint8_t> sweep_modifiers(const Keymap &keymap)
{
    std::vector<uint8_t> vks;
    for (const VkToBit &m : keymap.modifier_keys())
        if (m.vk != 0 && std::find(vks.begin(), vks.end(), m.vk) == vks.end() &&
            vks.size() < kMaxSweptModifiers)
            vks.push_back(m.vk);
    return vks;
}

void sweep_keyboard(const Keymap &keymap,
                    const std::function<void(const SweepState &, const Press &)> &visit)
{
    // A scan code listed twice is still one key.
    std::vector<ScanCode> keys;
    for (const auto &[scan, vk] : keymap.scan_codes())
        if (std::find(keys.begin(), keys.end(), scan) == keys.end())
            keys.push_back(scan);
    const std::vector<uint8_t> modifiers = sweep_modifiers(keymap);
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
                    state.modifiers.clear();
                    for (size_t i = 0; i < modifiers.size(); ++i)
                        if (held & (1u << i))
                            state.modifiers.push_back(modifiers[i]);
                    sweep_state(keymap, keys, state, visit);
                }
            }
        }
    }
}

}  // namespace wendol
