// kmn_text.h - the Keyman keyboard source (.kmn) and touch layout
// (.keyman-touch-layout) of a layout, from its Keyman form.
#pragma once

#include <string>

#include "engine/keymap.h"
#include "keyman/keyman_layout.h"

namespace wendol::keyman {

struct KeyboardNames {
    std::string id;            // "tarvena": the file names, the keyboard's identifier
    std::string name;          // "Tarvena": what Keyman lists it by
    std::string language;      // a BCP 47 tag, "en-US", or "" where nobody can tell
    std::string version;       // "1.0"
    std::string copyright;     // "" where the module has none
    std::string origin;        // "Wendol.dll (Tarvena)": what the files were written from
};

// The source: stores naming the keyboard, a group of key rules (what each
// key types, then what it types after each dead key where that is not the
// fallback), and a second group making the fallback: the dead character,
// then the character.  Everything Keyman cannot carry is named in comments
// at the top.
std::string kmn_text(const KeymanLayout &layout, const KeyboardNames &names);

// The touch layout for phones and tablets: the letter rows as the keys
// type them, a Shift layer, a Caps Lock layer where the lock changes
// anything, and the AltGr characters on a long press.
std::string touch_layout_text(const KeymanLayout &layout);

// Keyman's keyboard identifiers: a-z, 0-9 and _, not starting with a digit.
bool valid_id(const std::string &id);

}  // namespace wendol::keyman
