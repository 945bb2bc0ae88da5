// finding_text.h - a verifier's finding as one line of text: its place and
// what was expected and found, with why it matters only so much.
#pragma once

#include <string>

#include "verify/verify.h"

namespace wendol::cli {

// "table 6 row 25 column 3 (VK 0xBB, RVA 0x2700)", "KBDTABLES.pLigature
// (RVA 0x1C58)", "U+00DF ß, typed by Shift+AltGr+s"; empty for no place.
std::string place_text(const Place &place);

// "expected …, found …; only a warning, as …", or for a note what the layout
// uses and where the model ends.
std::string finding_text(const Finding &finding);

}  // namespace wendol::cli
