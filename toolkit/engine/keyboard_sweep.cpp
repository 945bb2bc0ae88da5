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

// A key pressed and released whose cell the tables may fail to give: the
// key is down by the time the cell is read, so it is released either way.
std::optional<Press> try_tap(Typist &typist, const Key &key, const SweepState &state,
                             const SweepBroken &broken)
{
    std::optional<Press> press;
    try {
        press = typist.press(key);
    } catch (const Error &e) {
        if (broken)
            broken(state, key, e);
    }
    typist.release(key);
    return press;
}

// A keyboard with the state's locks on and its modifiers held.
void set_up(Typist &typist, const SweepState &state, const SweepBroken &broken)
{
    if (state.caps_lock)
        try_tap(typist, VirtualKey{kVkCapital}, state, broken);
    if (state.num_lock)
        try_tap(typist, VirtualKey{kVkNumLock}, state, broken);
    // A Kana key held as a modifier flips the lock as it goes down.
    const bool holds_kana = std::find(state.modifiers.begin(), state.modifiers.end(),
                                      kVkKana) != state.modifiers.end();
    if (state.kana_lock != holds_kana)
        try_tap(typist, VirtualKey{kVkKana}, state, broken);
    for (uint8_t vk : state.modifiers) {
        try {
            typist.press(VirtualKey{vk});
        } catch (const Error &e) {
            // The modifier is down; only its own character is lost.
            if (broken)
                broken(state, VirtualKey{vk}, e);
        }
    }
}

void sweep_state(const Keymap &keymap, const std::vector<ScanCode> &keys, const SweepState &state,
                 const SweepVisit &visit, const SweepBroken &broken)
{
    Typist typist(keymap);
    set_up(typist, state, broken);
    const Locks before = locks_of(typist);
    for (const ScanCode &scan : keys) {
        // As try_tap, without moving each press through an optional: this
        // is the sweep's inner loop.
        bool answered = false;
        try {
            const Press press = typist.press(scan);
            answered = true;
            typist.release(scan);
            visit(state, press);
        } catch (const Error &e) {
            if (answered)
                throw;   // the visitor's own, not the tables'
            typist.release(scan);
            if (broken)
                broken(state, scan, e);
        }
        if (locks_of(typist) != before)
            try_tap(typist, scan, state, nullptr);
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
                    sweep_state(keymap, keys, state, visit, broken);
                }
            }
        }
    }
}

}  // namespace wendol
