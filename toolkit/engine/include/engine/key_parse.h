// key_parse.h - keys as a person writes them, and back.
//
// A chord is keys joined with '+', pressed left to right and released in
// reverse: "a", "Shift+a", "AltGr+Shift+=", "Ctrl+Backspace", "LCtrl+LAlt+e".
// A key is
//   - a name: Shift LShift RShift Ctrl LCtrl RCtrl Alt LAlt RAlt AltGr Win
//     LWin RWin Apps CapsLock NumLock ScrollLock Space Tab Esc Enter
//     Backspace F1..F24 Insert Delete Home End PageUp PageDown Up Down Left
//     Right PrintScreen Pause Break SysRq Oem102 AbntC1 AbntC2 Yen, keypad
//     KP_0..KP_9 KP_Decimal KP_Enter KP_Divide KP_Multiply KP_Subtract KP_Add;
//     names are not case-sensitive;
//   - a letter or digit key: a..z (A is the same key as a: write Shift+a
//     for the capital), 0..9;
//   - the punctuation the key carries on the US arrangement, written
//     literally (` - = [ ] \ ; ' , . /) or by name (Grave Minus Equal
//     LBracket RBracket Backslash Semicolon Apostrophe Comma Period Slash);
//   - a scan code: sc:1E, sc:E0 38 (or sc:E038), sc:E1 1D;
//   - a virtual key sent as such: vk:BB, or by name: vk:VK_OEM_PLUS.
// Keys go by their place on the keyboard (PC/AT scan codes, set 1), never by
// what the layout puts on them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/keymap.h"

namespace wendol {

using Chord = std::vector<Key>;

// Throws Error naming the text and listing the accepted forms.
Key parse_key(std::string_view text);
Chord parse_chord(std::string_view text);

// The name this toolkit writes for a key: "AltGr", "a", "KP_7", "sc:7D",
// "vk:BB".  parse_key(key_text(k)) gives k back.
std::string key_text(const Key &key);
std::string chord_text(const Chord &chord);

// The accepted forms, for help texts and error messages.
std::string accepted_key_forms();

}  // namespace wendol
