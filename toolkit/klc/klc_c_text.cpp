// klc_c_text.cpp - virtual keys, cells and strings as the module's C
// sources and resource script write them.
#include "klc_c_text.h"

#include <algorithm>
#include <cstdio>

#include "base/text.h"
#include "tables/kbd_format.h"
#include "tables/vk_names.h"

namespace wendol::klc_text {

namespace {

std::string hex_digits(unsigned value, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, value);
    return buffer;
}

bool is_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

bool is_hex_digit(char32_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::string vk_text(uint8_t vk)
{
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return std::string("'") + static_cast<char>(vk) + "'";
    // 0xFF is kbd.h's "no key", which vkeys.h leaves unnamed.
    const char *name = vk == 0xFF ? nullptr : vk_name(vk);
    if (!name)
        return hex_digits(vk, 2) + " /* no name */";
    return name;
}

std::string scan_entry_text(uint16_t entry)
{
    const uint8_t vk = static_cast<uint8_t>(entry & 0xFF);
    std::string out = vk == 0xFF ? "0xFF /* no key */" : vk_text(vk);
    constexpr std::pair<uint16_t, const char *> kFlags[] = {
        {kKbdExt, "KBDEXT"}, {kKbdMultiVk, "KBDMULTIVK"},
        {kKbdSpecial, "KBDSPECIAL"}, {kKbdNumpad, "KBDNUMPAD"}};
    for (const auto &[bit, name] : kFlags)
        if (entry & bit)
            out += std::string(" | ") + name;
    return out;
}

std::string shown(char16_t ch)
{
    if (is_surrogate(ch))
        return code_point_text(ch);
    if (const char *name = invisible_name(ch))
        return name;
    return utf8(char32_t{ch});
}

std::string character_text(char16_t ch)
{
    if (ch == '\'' || ch == '\\')
        return std::string("'\\") + static_cast<char>(ch) + "'";
    if (ch >= 0x20 && ch < 0x7F)
        return std::string("'") + static_cast<char>(ch) + "'";
    std::string comment = shown(ch);
    // A character never closes the comment it is shown in.
    if (comment == "*")
        comment = "asterisk";
    return hex_digits(ch, 4) + " /* " + comment + " */";
}

std::string cell_text(uint16_t cell)
{
    switch (cell) {
    case kWchNone: return "WCH_NONE";
    case kWchDead: return "WCH_DEAD";
    case kWchLigature: return "WCH_LGTR";
    default: return character_text(cell);
    }
}

std::string comment(std::string text)
{
    for (size_t at; (at = text.find("*/")) != std::string::npos;)
        text.replace(at, 2, "* /");
    return "/* " + text + " */";
}

std::string c_string(std::u16string_view text)
{
    std::string out = "u\"";
    bool after_escape = false;   // a hex escape takes every hex digit after it
    for (const char32_t c : code_points(text)) {
        if (after_escape && is_hex_digit(c))
            out += "\" u\"";
        after_escape = false;
        if (c == '?' && !out.empty() && out.back() == '?') {
            out += "\\?";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || (c >= 0x7F && c < 0xA0) || is_surrogate(c)) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "\\x%04X", static_cast<unsigned>(c));
            out += buffer;
            after_escape = true;
        } else if (c >= 0xA0 && invisible_name(c)) {   // a UCN never names ASCII
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, c > 0xFFFF ? "\\U%08X" : "\\u%04X",
                          static_cast<unsigned>(c));
            out += buffer;
        } else {
            out += utf8(c);
        }
    }
    return out + "\"";
}

std::string rc_string(std::u16string_view text)
{
    std::string out = "\"";
    for (const char32_t c : code_points(text)) {
        if (c == '"')
            out += "\"\"";
        else if (c == '\\')
            out += "\\\\";
        else if (c < 0x20 || c == 0x7F || is_surrogate(c))
            out += ' ';   // a name on one line: no control characters in it
        else
            out += utf8(c);
    }
    return out + "\"";
}

std::vector<std::string> aligned(const std::vector<std::vector<std::string>> &rows,
                                 std::string_view separator)
{
    std::vector<size_t> widths;
    for (const auto &row : rows)
        for (size_t i = 0; i + 1 < row.size(); ++i) {
            if (widths.size() <= i)
                widths.resize(i + 1, 0);
            widths[i] = std::max(widths[i], display_width(row[i]));
        }
    std::vector<std::string> out;
    for (const auto &row : rows) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                line += separator;
            line += i + 1 < row.size() ? pad(row[i], widths[i]) : row[i];
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out.push_back(line);
    }
    return out;
}

}  // namespace wendol::klc_text
