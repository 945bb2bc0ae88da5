// keyman_layout.h - the layout as a Keyman keyboard will hold it, worked out
// by typing on the module's tables: what every key Keyman has a position
// for types under each modifier state a rule can name, with Caps Lock off
// and on, and what it types after each dead key where that is not the
// platform's fallback (the dead character, then the key's own).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/key_parse.h"
#include "engine/keymap.h"
#include "engine/typing.h"
#include "keyman/keyman_keys.h"

namespace wendol::keyman {

// The modifiers a rule names.  AltGr is the right Alt key, Keyman's RALT;
// Ctrl is written for the left and the right key alike.
struct Modifiers {
    bool shift = false, altgr = false, ctrl = false;
    friend bool operator==(const Modifiers &, const Modifiers &) = default;
};

// The states a rule is written for, in the order the file lists them:
// plain, Shift, AltGr, AltGr+Shift, then Ctrl and Ctrl+Shift (written only
// where they type a character, not a control character).
inline constexpr Modifiers kModifierStates[] = {
    {false, false, false}, {true, false, false}, {false, true, false},
    {true, true, false},   {false, false, true}, {true, false, true},
};

// The keys pressed to type `key` in a state: the modifiers held, then the key.
Chord chord_of(ScanCode key, Modifiers modifiers);

// A fresh keyboard as Keyman's keys are read on: Num Lock on (Keyman names
// the keypad's keys as they are then), Caps Lock as asked.
Typist keyman_keyboard(const Keymap &keymap, bool caps_lock);

// Whether the rule holds with Caps Lock off, on, or either way.
enum class CapsMatch : uint8_t { Either, Off, On };

// What a key gives: characters, then perhaps a dead character left pending.
// Neither: the key types nothing (a rule says so where Keyman would type
// the key's US character of its own).
struct Output {
    std::u16string text;
    std::optional<char16_t> dead;
    bool nothing() const { return text.empty() && !dead; }
    friend bool operator==(const Output &, const Output &) = default;
};

struct KeyRule {
    KeymanKey key;
    Modifiers modifiers;
    CapsMatch caps = CapsMatch::Either;
    std::optional<char16_t> after;   // the dead character the rule follows
    Output output;
};

// What the module does that the Keyman keyboard does not carry.
struct Unwritten {
    enum class Kind : uint8_t {
        NoKeymanKey,    // a key that types, at a scan code Keyman has no key for
        Broken,         // the tables cannot answer the key in some state: no rule there
        Controls,       // keys typing control characters (Enter, Tab, Ctrl+letter): left to the platform
        KeyNames,       // the key names: Keyman has none
        KanaLock,       // KANALOK rows: what they give under the Kana lock
        CtrlAltAsAltGr, // KLLF_ALTGR: the left Ctrl+Alt chord, which Keyman does not take for RALT
        NumLockOff,     // the keypad is written as it types with Num Lock on
    };
    Kind kind = Kind::NoKeymanKey;
    std::optional<ScanCode> scan;
    std::optional<CellFault> fault;   // Broken
};

struct KeymanLayout {
    std::vector<KeyRule> keys;         // with nothing pending, in key order
    std::vector<KeyRule> after_dead;   // after a dead key, where not the fallback
    std::vector<char16_t> dead_keys;   // every dead character, in the order first reached
    // The single characters the keys type, for the fallback after a dead
    // key: the dead character, then the character.
    std::u32string fallback;
    bool shift_frees_caps = false;     // KLLF_SHIFTLOCK: Shift releases the lock
    std::vector<Unwritten> unwritten;
    size_t typed = 0;                  // key presses the engine typed to work it out
};

KeymanLayout keyman_layout(const Keymap &keymap);

// "sc:E0 46 types, and Keyman has no key there": the record as a line, for
// the command's messages and the file's comments.
std::string unwritten_text(const Unwritten &unwritten);

// "SHIFT RALT", "LCTRL SHIFT", "" for plain: the modifiers as a rule names them.
std::string modifier_words(Modifiers modifiers, bool right_ctrl = false);

}  // namespace wendol::keyman
