// xkb_text.h - the Linux files of a layout, as text: a whole XKB keymap, the
// symbols and types files and the rules and registry fragments that install
// it under its name, and the Compose file of its dead keys, all named from
// the layout's names.
#pragma once

#include <string>
#include <vector>

#include "engine/keymap.h"
#include "xkb/layout_names.h"
#include "xkb/xkb_layout.h"

namespace wendol::xkb {

// Every file names the layout and what it was written from on one line,
// "// wendol xkb: layout \"tarvena\" from Wendol.dll (Tarvena)", which
// installer/linux/install.sh compares before it replaces a file; and lists
// in comments what the layout does that the file cannot carry.

// xkb_keymap { xkb_keycodes; xkb_types; xkb_compat; xkb_symbols }: the whole
// layout in one file, NAME.xkb, for xkbcomp and xkb_keymap_new_from_string.
std::string keymap_text(const XkbLayout &layout, const Keymap &keymap, const LayoutNames &names);

// symbols/NAME: the keys, for the rules' "pc+NAME".
std::string symbols_text(const XkbLayout &layout, const Keymap &keymap, const LayoutNames &names);

// types/NAME: the key types the symbols name (NAME_0101...).
std::string types_text(const XkbLayout &layout, const LayoutNames &names);

// rules/evdev: the system's rules, and the layout's types added where the
// layout is chosen.
std::string rules_text(const LayoutNames &names);

// rules/evdev.xml: the layout in the registry, for the desktops' lists,
// under its language where one is known.
std::string registry_text(const LayoutNames &names);

// NAME.compose: every composition of the module, each dead key followed
// by every key the layout types (the dead character and the character where
// the module has no composition, as the platform delivers them) and by
// every dead key.
// Dead keys still pending after four in a row end no sequence:
// each dead key whose chains are cut there is named in `left_out`.
struct ComposeFile {
    std::string text;
    std::vector<Unmapped> left_out;   // Kind::DeadChain
};
ComposeFile compose_file(const XkbLayout &layout, const Keymap &keymap, const LayoutNames &names);
std::string compose_text(const XkbLayout &layout, const Keymap &keymap, const LayoutNames &names);

}  // namespace wendol::xkb
