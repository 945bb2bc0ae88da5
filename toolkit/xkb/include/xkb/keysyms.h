// keysyms.h - the X keysyms the Linux form of a layout is written with, by
// name, as XKB and Compose files spell them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/keymap.h"

namespace wendol::xkb {

// The keysym that types `ch` and nothing else: a named one where XKB has
// one whose text is exactly `ch` ("a", "exclam", "Return", "BackSpace"),
// the Unicode form otherwise ("U03B1", or "0x01000085" for the control
// characters Unicode names cannot be written for).
std::string character_keysym(char32_t ch);

// The same, on a key of the numeric keypad: KP_0 .. KP_9, KP_Decimal,
// KP_Separator, KP_Multiply, KP_Add, KP_Subtract, KP_Divide and KP_Enter where
// their text is `ch`; character_keysym otherwise.
std::string keypad_keysym(char32_t ch);

// The keysym of a key that types nothing under the state it is pressed in,
// by the virtual key it sent: "Shift_L", "Home", "KP_Home", "F5",
// "XF86AudioMute".  Only keysyms whose text is empty: a key that gives no
// character on the platform gives none here either.
std::optional<std::string> silent_keysym(uint8_t vk, bool keypad);

// The keysym of Backspace, Tab (ISO_Left_Tab with Shift), Enter, Escape and
// Delete, by virtual key, for the states where the module gives them no
// character: applications act on these keys by their keysym, which in XKB
// carries the control character as text (ISO_Left_Tab excepted).
std::optional<std::string> control_key_keysym(uint8_t vk, bool shift, bool keypad);

// A dead character and the dead keysym it is given.
struct DeadKeysym {
    char16_t dead = 0;
    std::string keysym;   // "dead_acute"
};

// Dead keysyms for the dead characters, in the order given: the one that
// means the same accent where XKB has one (´ -> dead_acute, ˇ -> dead_caron,
// ° -> dead_abovering, ...), otherwise the first of the dead keysyms no
// accent of the layout claims.  No two dead characters share one.  Throws
// Error when the layout has more dead characters than XKB dead keysyms.
std::vector<DeadKeysym> dead_keysyms(const std::vector<char16_t> &dead_characters);

}  // namespace wendol::xkb
