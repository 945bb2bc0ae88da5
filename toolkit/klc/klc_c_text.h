// klc_c_text.h - the pieces of C and resource-script text the module's
// sources are written with: virtual keys, cells, strings, aligned rows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wendol::klc_text {

// "VK_RETURN", "'A'", "'1'", "0xE0 /* no name */".
std::string vk_text(uint8_t vk);

// A scan-code map entry: "VK_HOME | KBDSPECIAL | KBDNUMPAD", "0xFF /* no key */".
std::string scan_entry_text(uint16_t entry);

// A UTF-16 code unit as a cell or a character argument: "'a'", "'\\''",
// "0x00E1 /* á */", "0x0009 /* TAB */".
std::string character_text(char16_t ch);

// A cell: WCH_NONE, WCH_DEAD, WCH_LGTR or character_text.
std::string cell_text(uint16_t cell);

// What a character looks like in a comment: "á", "TAB", "U+D800".
std::string shown(char16_t ch);

// "/* text */", a "*/" in the text broken up so that it cannot end the
// comment early (a ligature may type one).
std::string comment(std::string text);

// A UTF-16 string literal, u"...", for the C compiler: printable text as it
// is (UTF-8), invisible characters and controls escaped, and no trigraph
// (-std=c11 reads "??=" as "#").
std::string c_string(std::u16string_view text);

// A resource-script string, "...": UTF-8, quotes doubled.
std::string rc_string(std::u16string_view text);

// Rows of fields padded to the widest field of each column, so that a
// reader runs an eye down a column; each row's fields are joined with
// `separator` and the last field is not padded.
std::vector<std::string> aligned(const std::vector<std::vector<std::string>> &rows,
                                 std::string_view separator = " ");

}  // namespace wendol::klc_text
