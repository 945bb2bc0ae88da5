// xkb_layout.cpp - the Linux form of a layout, read off the engine key by key.
#include "xkb/xkb_layout.h"

#include <algorithm>
#include <optional>

#include "base/text.h"
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

// Adds the state to the key's record of that kind and detail, or a new one.
void note(std::vector<Unmapped> &notes, Unmapped::Kind kind, ScanCode scan, KeyState state,
          const std::u16string &text, const CellFault *fault, bool ctrl = false)
{
    for (Unmapped &u : notes)
        if (u.kind == kind && u.scan == scan && u.text == text && u.ctrl == ctrl &&
            (!fault || (u.fault && u.fault->expected == fault->expected &&
                        u.fault->found == fault->found))) {
            u.states.push_back(state);
            return;
        }
    Unmapped u{kind, scan, {state}, ctrl, text, std::nullopt};
    if (fault)
        u.fault = *fault;
    notes.push_back(std::move(u));
}

// What the key gives under the state, on a keyboard with nothing pending.
StateKeysym state_keysym(const Keymap &keymap, ScanCode scan, KeyState state,
                         std::vector<Unmapped> &notes)
{
    Typist typist = keyboard_in(keymap, state);
    const Press press = typist.press(scan);
    StateKeysym out;
    if (press.cell.kind == Cell::Kind::Broken) {
        // Left out, and named: the tables cannot answer the key here.
        note(notes, Unmapped::Kind::Broken, scan, state, {}, press.cell.fault);
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
        note(notes, Unmapped::Kind::Ligature, scan, state, out.text, nullptr);
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

std::string XkbKey::type_name(std::string_view layout_name) const
{
    if (one_level())
        return "ONE_LEVEL";
    std::string name;
    for (char c : layout_name)
        name += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    name += '_';
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
        std::vector<Unmapped> notes;
        bool types_something = false;
        for (unsigned s = 0; s < kKeyStates; ++s) {
            key.states[s] = state_keysym(keymap, scan, KeyState::from_index(s), notes);
            types_something = types_something || key.states[s].dead || !key.states[s].text.empty();
        }
        if (!linux || std::find(codes_used.begin(), codes_used.end(), linux->code) != codes_used.end()) {
            if (types_something || !notes.empty())
                layout.unmapped.push_back({Unmapped::Kind::NoLinuxKey, scan, {}, false, {}, std::nullopt});
            continue;
        }
        // With Ctrl held the key's keysym is the one without it, and XKB
        // makes the control character; a ligature there has no form at all.
        for (unsigned s = 0; s < 4; ++s) {
            const KeyState state = KeyState::from_index(s);
            Typist typist = keyboard_in(keymap, state);
            typist.press(kCtrlKey);
            const std::u16string text = typist.press(scan).delivery.text;
            // Only what Ctrl adds: the same ligature as without it is named once.
            const bool same = text == key.states[s].text ||
                              std::any_of(notes.begin(), notes.end(), [&](const Unmapped &u) {
                                  return !u.ctrl && u.scan == scan && u.text == text &&
                                         std::find(u.states.begin(), u.states.end(), state) !=
                                             u.states.end();
                              });
            if (text.size() > 1 && !one_character(text) && !same)
                note(notes, Unmapped::Kind::Ligature, scan, state, text, nullptr, true);
        }
        layout.unmapped.insert(layout.unmapped.end(), notes.begin(), notes.end());
        key.linux = *linux;
        codes_used.push_back(linux->code);
        for (const StateKeysym &s : key.states)
            if (s.dead && std::find(dead_characters.begin(), dead_characters.end(),
                                    s.dead_character) == dead_characters.end())
                dead_characters.push_back(s.dead_character);
        layout.keys.push_back(std::move(key));
    }

    // The locks XKB's Caps Lock and these states do not have.
    if (keymap.shift_lock())
        layout.unmapped.push_back({Unmapped::Kind::ShiftLock, std::nullopt, {}, false, {}, std::nullopt});
    if (keymap.has_kana_lock_rows())
        layout.unmapped.push_back({Unmapped::Kind::KanaLock, std::nullopt, {}, false, {}, std::nullopt});

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

std::string state_words(KeyState state)
{
    std::string held;
    const auto add = [&](const char *name) { append_item(held, name, "+"); };
    if (state.shift)
        add("Shift");
    if (state.altgr)
        add("AltGr");
    std::string locks;
    if (state.caps_lock)
        locks = "Caps Lock";
    if (state.num_lock)
        locks += (locks.empty() ? "" : " and ") + std::string("Num Lock");
    if (held.empty())
        return locks.empty() ? "no modifier" : locks + " on";
    return locks.empty() ? held : held + " with " + locks + " on";
}

std::string unmapped_text(const Unmapped &u, const Keymap &keymap)
{
    std::string states;
    for (const KeyState &s : u.states) {
        std::string text = state_words(s);
        if (u.ctrl)
            text = s.shift || s.altgr ? "Ctrl+" + text : "Ctrl";
        states += (states.empty() ? "" : ", ") + text;
    }
    const std::string key = u.scan ? scan_code_text(*u.scan) : std::string();
    switch (u.kind) {
    case Unmapped::Kind::NoLinuxKey:
        return key + ": no Linux key code of its own, so the key is left out";
    case Unmapped::Kind::Broken:
        return key + " (" + states + "): the tables cannot answer it (" +
               (u.fault ? u.fault->error(keymap.tables()).what() : std::string("a broken cell")) +
               "), so it is left out";
    case Unmapped::Kind::Ligature:
        return key + " (" + states + "): types " + quoted(u.text) + ", " +
               std::to_string(code_points(u.text).size()) +
               " characters with one press, where an XKB level holds one keysym, so it is left out";
    case Unmapped::Kind::ShiftLock:
        return "the Shift lock (KLLF_SHIFTLOCK): on the platform Shift releases Caps Lock; "
               "here Caps Lock stays on until it is pressed again";
    case Unmapped::Kind::DeadChain:
        return "the dead key " + quoted(u.text) + ": " + std::to_string(u.count) +
               (u.count == 1 ? " sequence" : " sequences") +
               " still waiting after four dead keys in a row left out of the Compose file";
    case Unmapped::Kind::KanaLock:
        return "the Kana lock (KANALOK rows): what those rows give under it is left out, "
               "the keys typing as with the Kana lock off";
    }
    return key;
}

}  // namespace wendol::xkb
