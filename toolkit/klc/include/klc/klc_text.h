// klc_text.h - a .klc source read from its bytes and written back.
//
// The file is UTF-16LE with a byte-order mark and CRLF lines; the reader
// also takes LF lines.  Reading is reading untrusted input: anything the
// format does not allow throws Error with the line ("line 41"), what was
// expected there and what was found, and never reads outside the bytes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "klc/klc_source.h"

namespace wendol {

KlcSource read_klc(std::span<const uint8_t> bytes);

// The source as the layout creator writes it: tab-separated columns, the
// characters of letters, digits and punctuation as themselves and every
// other one as four hex digits, a comment naming each LAYOUT line's
// characters, and the notes as comment lines at the top.
std::vector<uint8_t> klc_bytes(const KlcSource &source);

}  // namespace wendol
