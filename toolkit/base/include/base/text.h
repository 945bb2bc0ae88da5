// text.h - UTF-16 as the tables store it, turned into text a maintainer can
// read: UTF-8, code points ("U+00E9 é"), and names for the characters that do
// not print ("U+0009 TAB", "U+00A0 NO-BREAK SPACE"); and UTF-8 read back
// into code points.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wendol {

// UTF-8 of a code point; surrogates and values past U+10FFFF become U+FFFD.
std::string utf8(char32_t code_point);

// UTF-8 of UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::string utf8(std::u16string_view text);

// "U+00E9".
std::string code_point_text(char32_t code_point);

// The name of a control, space, format or invisible character ("TAB", "NUL",
// "NO-BREAK SPACE", "INVISIBLE TIMES"), or null for one that prints.
const char *invisible_name(char32_t code_point);

// "U+00E9 é", "U+0009 TAB", "U+0301 ◌́", "U+D800 surrogate".
std::string character_label(char32_t code_point);

// Text in double quotes with the non-printing characters spelled as <U+XXXX>.
std::string quoted(std::u16string_view text);

// One UTF-8 sequence read from the start of a text.
struct Utf8Sequence {
    char32_t code_point = 0;   // U+FFFD where the bytes are malformed
    size_t length = 0;         // bytes taken: at least 1 unless the text was empty
    bool valid = false;
};

// The toolkit's one UTF-8 decoder, strict as a conforming decoder must be:
// well-formed UTF-8 is the shortest form of a code point up to U+10FFFF that
// is not a surrogate.  Refused: a byte that cannot begin a sequence (80..BF,
// C0, C1, F5..FF), a lead byte without all its continuation bytes (cut short
// by another byte or by the end), an overlong form (E0 80 80), a surrogate
// (ED A0 80) and a value past U+10FFFF (F4 90 80 80).  A malformed sequence
// takes the bytes that could still have begun a valid one, and at least one
// (the cut ICU and the web's decoders make), so reading on from there finds
// every valid sequence that follows.  An empty text gives length 0.
Utf8Sequence decode_utf8(std::string_view text);

// The code points of UTF-8 text, each malformed sequence read as U+FFFD.
std::u32string code_points(std::string_view text);

// The code points of UTF-16 text: a surrogate pair is the one character it
// encodes, and an unpaired surrogate stays as it is.
std::u32string code_points(std::u16string_view text);

// Columns a terminal gives UTF-8 text, roughly: one per code point, none for
// combining marks.  Enough to line up tables of characters.
size_t display_width(std::string_view text);

// The items with ", " between them.
std::string joined(const std::vector<std::string> &items);

// Appends `item` to `out`, after `separator` where `out` holds something.
void append_item(std::string &out, std::string_view item, std::string_view separator = " ");

// `text` padded with spaces to `width` display columns.
std::string pad(std::string text, size_t width);
// A column of a table: padded to `width`, and two spaces after a text that
// fills it, so that it never runs into the next column.
std::string column_text(std::string text, size_t width);

}  // namespace wendol
