// layout_names.h - the names a layout is written under on Linux: the XKB
// name every file, section, key type and rules entry is made from, the
// description the desktops list it by, and its language as ISO 639 has it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wendol::xkb {

struct LayoutNames {
    std::string name;          // "tarvena": symbols/tarvena, "tarvena.compose", TARVENA_* types
    std::string description;   // "Tarvena": the group's name, the registry's description
    std::string language;      // "eng" (ISO 639-2), or "" where nobody can tell
    // What the files were written from, "Wendol.dll (Tarvena)", whatever
    // they are named: install.sh tells one layout from another by it.
    std::string origin;
};

// Why `name` cannot be an XKB name here ("it starts with a digit"), or
// nothing where it can: non-empty, [a-z0-9_], not starting with a digit.
std::optional<std::string> name_problem(std::string_view name);

// `text` made an XKB name: ASCII letters lower-cased, digits kept, every run
// of anything else one "_", none at either end.  Nothing where that leaves
// no valid name ("Русская", "2024").
std::optional<std::string> name_from(std::string_view text);

// The ISO 639-2 code of a language: from a Windows language ID (its
// primary language, the low ten bits), from a locale name ("en-US", "de"),
// or from a code given as two letters ("de") or three ("deu", taken as
// written).  Nothing where the toolkit cannot tell.
std::optional<std::string> language_of_langid(uint16_t langid);
std::optional<std::string> language_of_locale_name(std::string_view locale);

}  // namespace wendol::xkb
