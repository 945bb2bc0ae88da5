// klc_syntax.h - what the reader and the writer of a .klc source agree on:
// how large a source may grow, how its fields are spelled, and which texts
// each kind of field can hold, so that whatever is written reads back the
// same and whatever is read can be written again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wendol::klc {

// The layout creator's own sources stay well under a tenth of this; the caps
// only keep a hostile file from making the reader work for long.
constexpr size_t kMaxSourceBytes = size_t{1} << 20;
constexpr size_t kMaxLineUnits = 4096;
constexpr size_t kMaxLigatureUnits = 16;   // the longest ligature row a module can hold
constexpr uint8_t kMaxScan = 0x7F;         // set 1: the high bit is the key's release

inline bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }
inline bool is_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
inline bool is_high_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool is_low_surrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A character the reader refuses anywhere in a line: the C0 controls but the
// tab, and DEL.  Line ends are taken before this is asked.
inline bool is_control(char32_t c) { return (c < 0x20 && c != u'\t') || c == 0x7F; }

// Exactly `digits` hex digits, in either case.
std::optional<uint32_t> hex_value(std::u16string_view text, size_t digits);
// "00b4": lowercase, as the layout creator writes codes.
std::string hex_text(uint32_t value, int digits);

// The virtual key a LAYOUT or LIGATURE line names: "A", "1", "OEM_PLUS",
// "SPACE" (the winuser.h name without VK_; with it, and in any case, too).
// Numbers are not names here: "10" is refused, not read as a code.
std::optional<uint8_t> vk_for_name(std::u16string_view name);
// The name written for a key, or empty where the key has none that reads back.
std::string vk_written_name(uint8_t vk);

// The kinds of text a field holds.
enum class TextField {
    Quoted,      // inside double quotes: KBD, COPYRIGHT, COMPANY, a key's name
    RestOfLine,  // DESCRIPTIONS and LANGUAGENAMES: to the end of the line, trimmed
};
// Why the text cannot stand in such a field ("a double quote", "an unpaired
// surrogate"), or null where it can.
const char *text_fault(std::u16string_view text, TextField field);

// KBD's name becomes the module's file name: printable ASCII, one word.
bool is_module_name(std::string_view name);
// LOCALENAME: letters, digits and hyphens ("en-US", "sr-Latn-RS").
bool is_locale_name(std::string_view name);

// The ASCII text as UTF-16, and UTF-16 that is all ASCII as 8-bit text.
std::u16string widened(std::string_view ascii);
std::optional<std::string> narrowed(std::u16string_view text);

}  // namespace wendol::klc
