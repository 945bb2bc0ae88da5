// xkb_layout.cpp - the Linux form of a layout, read off the engine key by key.
#include "xkb/xkb_layout.h"

#include <algorithm>
#include <optional>

#include "engine/typing.h"

namespace wendol::xkb {

namespace {

// A key of the keypad's digit block (KBDNUMPAD, not extended): the one Num
// Lock turns from navigation into digits.
bool numpad_block(const Press &press)
{
    const std::optional<uint16_t> &mapped = press.translation.mapped;
    return mapped && keypad_digit(*mapped);
}

// The keys of the numeric keypad, which get the keypad's keysyms.
bool keypad_key(const Press &press, ScanCode scan)
{
    const uint8_t vk = press.translation.vk;
    const bool keypad_enter = scan == ScanCode{Prefix::E0, 0x1C};
    return numpad_block(press) || keypad_enter || (vk >= kVkNumpad0 && vk <= kVkDivide);
}

// The one character of `text`, if it holds exactly one.
std::optional<char32_t> one_character(const std::u16string &text)
{
    if (text.size() == 1 && (text[0] < 0xD800 || text[0] > 0xDFFF))
        return text[0];
    if (text.size() == 2 && text[0] >= 0xD800 && text[0] < 0xDC00 && text[1] >= 0xDC00 &&
        text[1] <= 0xDFFF)
        return 0x10000 + ((char32_t{text[0]} - 0xD800) << 10) + (text[1] - 0xDC00);
    return std::nullopt;
}

// A keyboard in `state`, the state's keys held and its locks on.
Typist keyboard_in(const Keymap &keymap, KeyState state)
{
    Typist typist(keymap);
    if (state.caps_lock)
        typist.chord({kCapsLockKey});
    if (state.num_lock)
        typist.chord({kNumLockKey});
    if (state.shift)
        typist.press(kShiftKey);
    if (state.altgr)
        typist.press(kAltGrKey);
    return typist;
}

// What the key gives under the state, on a keyboard with nothing pending.
StateKeysym state_keysym(const Keymap &keymap, ScanCode scan, KeyState state,
                         std::optional<std::string> &unsupported)
{
    Typist typist = keyboard_in(keymap, state);
    const Press press = typist.press(scan);
    StateKeysym out;
    if (press.cell.kind == Cell::Kind::Broken) {
        // Left out, and named: the tables cannot answer the key here.
        unsupported = std::string("the tables cannot answer it (") +
                      press.cell.fault->error(keymap.tables()).what() + "), so it is left out";
        return out;
    }
    if (press.cell.kind == Cell::Kind::Dead && press.delivery.text.empty()) {
        out.dead = true;
        out.dead_character = press.cell.ch;
        return out;
    }
    out.text = press.delivery.text;
    if (const std::optional<char32_t> ch = one_character(out.text)) {
        const bool keypad = keypad_key(press, scan);
        out.keysym = keypad ? keypad_keysym(*ch) : character_keysym(*ch);
    } else if (out.text.empty()) {
        // The right Alt key is the level-three shift, whatever virtual key
        // the layout gives it: the AltGr states are read with it held.
        if (scan == kAltGrKey)
            out.keysym = "ISO_Level3_Shift";
        else if (auto silent = silent_keysym(press.translation.vk, numpad_block(press)))
            out.keysym = *silent;
        else if (auto control = control_key_keysym(press.translation.vk, state.shift,
                                                   keypad_key(press, scan)))
            out.keysym = *control;
    } else {
        unsupported = "types " + std::to_string(out.text.size()) +
                      " characters with one press, where an XKB level holds one keysym";
        out.text.clear();
    }
    return out;
}

void assign_levels(XkbKey &key)
{
    for (unsigned s = 0; s < kKeyStates; ++s) {
        const std::string &sym = key.states[s].keysym;
        auto found = std::find(key.levels.begin(), key.levels.end(), sym);
        if (found == key.levels.end()) {
            key.levels.push_back(sym);
            found = key.levels.end() - 1;
        }
        key.level_of[s] = static_cast<uint8_t>(found - key.levels.begin());
    }
}

}  // namespace

KeyState KeyState::from_index(unsigned index)
{
    return {(index & 1) != 0, (index & 2) != 0, (index & 4) != 0, (index & 8) != 0};
}

unsigned KeyState::index() const
{
    return (shift ? 1u : 0u) | (altgr ? 2u : 0u) | (caps_lock ? 4u : 0u) | (num_lock ? 8u : 0u);
}

bool XkbKey::one_level() const
{
    return levels.size() == 1 &&
           std::all_of(states.begin(), states.end(), [](const StateKeysym &s) { return s.text.empty() && !s.dead; });
}

std::string XkbKey::type_name() const
{
    if (one_level())
        return "ONE_LEVEL";
    std::string name = "WENDOL_";
    for (uint8_t level : level_of)
        name += "0123456789ABCDEF"[level];
    return name;
}

XkbLayout xkb_layout(const Keymap &keymap)
{
    XkbLayout layout;
    std::vector<char16_t> dead_characters;
    std::vector<uint16_t> codes_used;
    for (const auto &[scan, vk] : keymap.scan_codes()) {
        const std::optional<LinuxKey> linux = linux_key(scan);
        XkbKey key;
        key.scan = scan;
        std::optional<std::string> unsupported;
        bool types_something = false;
        for (unsigned s = 0; s < kKeyStates; ++s) {
            key.states[s] = state_keysym(keymap, scan, KeyState::from_index(s), unsupported);
            types_something = types_something || key.states[s].dead || !key.states[s].text.empty();
        }
        if (!linux || std::find(codes_used.begin(), codes_used.end(), linux->code) != codes_used.end()) {
            if (types_something)
                layout.unmapped.push_back({scan, "no Linux key code of its own"});
            continue;
        }
        if (unsupported)
            layout.unmapped.push_back({scan, *unsupported});
        key.linux = *linux;
        codes_used.push_back(linux->code);
        for (const StateKeysym &s : key.states)
            if (s.dead && std::find(dead_characters.begin(), dead_characters.end(),
                                    s.dead_character) == dead_characters.end())
                dead_characters.push_back(s.dead_character);
        layout.keys.push_back(std::move(key));
    }

    layout.dead_keys = dead_keysyms(dead_characters);
    for (XkbKey &key : layout.keys) {
        for (StateKeysym &s : key.states) {
            if (s.dead)
                for (const DeadKeysym &d : layout.dead_keys)
                    if (d.dead == s.dead_character)
                        s.keysym = d.keysym;
            const bool known = std::any_of(layout.typed.begin(), layout.typed.end(),
                                           [&](const TypedKeysym &t) { return t.keysym == s.keysym; });
            if (!s.text.empty() && !known)
                layout.typed.push_back({s.keysym, s.text});
        }
        assign_levels(key);
    }
    return layout;
}

}  // namespace wendol::xkb
