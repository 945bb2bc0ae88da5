// xkb_text.h - the Linux files of a layout, as text: a whole XKB keymap, the
// symbols and types files and the rules and registry fragments that install
// it under its name, and the Compose file of its dead keys.
#pragma once

#include <string>

#include "engine/keymap.h"
#include "xkb/xkb_layout.h"

namespace wendol::xkb {

// The name the layout is installed under: symbols/wendol, types/wendol,
// layout "wendol" in the rules.
constexpr const char *kLayoutName = "wendol";

// xkb_keymap { xkb_keycodes; xkb_types; xkb_compat; xkb_symbols }: the whole
// layout in one file, for xkbcomp and xkb_keymap_new_from_string.
// `description` names the group ("Tarvena").
std::string keymap_text(const XkbLayout &layout, const std::string &description);

// symbols/wendol: the keys, for the rules' "pc+wendol".
std::string symbols_text(const XkbLayout &layout, const std::string &description);

// types/wendol: the key types the symbols name.
std::string types_text(const XkbLayout &layout);

// rules/evdev: the system's rules, and the layout's types added where the
// layout is chosen.
std::string rules_text();

// rules/evdev.xml: the layout in the registry, for the desktops' lists.
std::string registry_text(const std::string &description);

// The Compose file: every composition of the module, each dead key followed
// by every key the layout types (the dead character and the character where
// the module has no composition, as the platform delivers them) and by
// every dead key.
std::string compose_text(const XkbLayout &layout, const Keymap &keymap);

}  // namespace wendol::xkb
