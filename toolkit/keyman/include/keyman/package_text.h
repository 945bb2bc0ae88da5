// package_text.h - the Keyman package source (.kps) that Keyman's package
// compiler makes the .kmp of, and the welcome page Keyman shows once the
// package is installed.
#pragma once

#include <string>

#include "keyman/keyman_layout.h"
#include "keyman/kmn_text.h"

namespace wendol::keyman {

// The package of `names.id`: its desktop keyboard (ID.kmx), its web and
// touch keyboard (ID.js), welcome.htm, and ID-chart.htm where
// `with_chart`.  The language is the tag of names.language reduced to its
// primary subtag where it came from the module ("en-US" is listed as "en").
std::string package_source_text(const KeyboardNames &names, bool with_chart);

// A short page: what the keyboard is, how its AltGr and Caps Lock levels
// are reached, its dead keys, and what Keyman does not carry.
std::string welcome_text(const KeymanLayout &layout, const KeyboardNames &names, bool with_chart);

}  // namespace wendol::keyman
