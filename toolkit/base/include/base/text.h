// text.h - UTF-16 as the tables store it, turned into text a maintainer can
// read: UTF-8, code points ("U+00E9 é"), and names for the characters that do
// not print ("U+0009 TAB", "U+00A0 NO-BREAK SPACE").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// The code points of UTF-8 text, read leniently: a sequence cut short by the
// end of the text gives what its bytes hold.
std::u32string code_points(std::string_view text);

// Columns a terminal gives UTF-8 text, roughly: one per code point, none for
// combining marks.  Enough to line up tables of characters.
size_t display_width(std::string_view text);

// `text` padded with spaces to `width` display columns.
std::string pad(std::string text, size_t width);

}  // namespace wendol
