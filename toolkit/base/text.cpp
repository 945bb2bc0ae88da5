// text.cpp - UTF-16 to readable UTF-8, and UTF-8 to code points.
#include "base/text.h"

#include <cstdio>


namespace wendol {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool is_surrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

constexpr const char *kC0Names[32] = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "TAB", "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",
};

constexpr const char *kC1Names[32] = {
    "PAD", "HOP", "BPH", "NBH", "IND", "NEL", "SSA", "ESA", "HTS", "HTJ", "VTS",
    "PLD", "PLU", "RI",  "SS2", "SS3", "DCS", "PU1", "PU2", "STS", "CCH", "MW",
    "SPA", "EPA", "SOS", "SGCI", "SCI", "CSI", "ST", "OSC", "PM",  "APC",
};

struct NamedCharacter {
    char32_t code_point;
    const char *name;
};

// Spaces and format characters: they print as nothing, or as a blank that
// cannot be told from another blank.
constexpr NamedCharacter kInvisible[] = {
    {0x0020, "SPACE"},
    {0x007F, "DEL"},
    {0x00A0, "NO-BREAK SPACE"},
    {0x00AD, "SOFT HYPHEN"},
    {0x034F, "COMBINING GRAPHEME JOINER"},
    {0x2000, "EN QUAD"},
    {0x2001, "EM QUAD"},
    {0x2002, "EN SPACE"},
    {0x2003, "EM SPACE"},
    {0x2004, "THREE-PER-EM SPACE"},
    {0x2005, "FOUR-PER-EM SPACE"},
    {0x2006, "SIX-PER-EM SPACE"},
    {0x2007, "FIGURE SPACE"},
    {0x2008, "PUNCTUATION SPACE"},
    {0x2009, "THIN SPACE"},
    {0x200A, "HAIR SPACE"},
    {0x200B, "ZERO WIDTH SPACE"},
    {0x200C, "ZERO WIDTH NON-JOINER"},
    {0x200D, "ZERO WIDTH JOINER"},
    {0x200E, "LEFT-TO-RIGHT MARK"},
    {0x200F, "RIGHT-TO-LEFT MARK"},
    {0x2028, "LINE SEPARATOR"},
    {0x2029, "PARAGRAPH SEPARATOR"},
    {0x202A, "LEFT-TO-RIGHT EMBEDDING"},
    {0x202B, "RIGHT-TO-LEFT EMBEDDING"},
    {0x202C, "POP DIRECTIONAL FORMATTING"},
    {0x202D, "LEFT-TO-RIGHT OVERRIDE"},
    {0x202E, "RIGHT-TO-LEFT OVERRIDE"},
    {0x202F, "NARROW NO-BREAK SPACE"},
    {0x205F, "MEDIUM MATHEMATICAL SPACE"},
    {0x2060, "WORD JOINER"},
    {0x2061, "FUNCTION APPLICATION"},
    {0x2062, "INVISIBLE TIMES"},
    {0x2063, "INVISIBLE SEPARATOR"},
    {0x2064, "INVISIBLE PLUS"},
    {0x3000, "IDEOGRAPHIC SPACE"},
    {0xFEFF, "ZERO WIDTH NO-BREAK SPACE"},
};

// What a UTF-8 lead byte promises: the length of its sequence (0 for a byte
// that begins none) and the range its second byte must fall in.
struct Utf8Lead {
    size_t length;
    unsigned char second_low;
    unsigned char second_high;
};

Utf8Lead lead_form(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return {2, 0x80, 0xBF};
    if (lead == 0xE0)
        return {3, 0xA0, 0xBF};   // below A0 is overlong
    if (lead == 0xED)
        return {3, 0x80, 0x9F};   // from A0 on are the surrogates
    if (lead >= 0xE1 && lead <= 0xEF)
        return {3, 0x80, 0xBF};
    if (lead == 0xF0)
        return {4, 0x90, 0xBF};   // below 90 is overlong
    if (lead >= 0xF1 && lead <= 0xF3)
        return {4, 0x80, 0xBF};
    if (lead == 0xF4)
        return {4, 0x80, 0x8F};   // from 90 on is past U+10FFFF
    return {0, 0, 0};             // continuation bytes, C0, C1 (always overlong), F5..FF
}

bool is_combining_mark(char32_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE20 && c <= 0xFE2F);
}

}  // namespace

std::string utf8(char32_t c)
{
    if (is_surrogate(c) || c > 0x10FFFF)
        c = kReplacement;
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string utf8(std::u16string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        out += utf8(c);
    }
    return out;
}

std::string code_point_text(char32_t c)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

const char *invisible_name(char32_t c)
{
    if (c < 0x20)
        return kC0Names[c];
    if (c >= 0x80 && c < 0xA0)
        return kC1Names[c - 0x80];
    for (const NamedCharacter &n : kInvisible)
        if (n.code_point == c)
            return n.name;
    return nullptr;
}

std::string character_label(char32_t c)
{
    const std::string code = code_point_text(c);
    if (is_surrogate(c))
        return code + " surrogate";
    if (const char *name = invisible_name(c))
        return code + " " + name;
    if (is_combining_mark(c))
        return code + " \u25CC" + utf8(c);   // on a dotted circle
    return code + " " + utf8(c);
}

std::string quoted(std::u16string_view text)
{
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (pair) {
            out += utf8(text.substr(i, 2));
            ++i;
        } else if (unit != u' ' && (invisible_name(unit) || is_surrogate(unit))) {
            out += '<';
            out += code_point_text(unit);
            out += '>';
        } else {
            out += utf8(char32_t{unit});
        }
    }
    return out + "\"";
}

Utf8Sequence decode_utf8(std::string_view text)
{
    if (text.empty())
        return {kReplacement, 0, false};
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80)
        return {lead, 1, true};
    const Utf8Lead form = lead_form(lead);
    if (form.length == 0)
        return {kReplacement, 1, false};
    char32_t c = lead & (0x7F >> form.length);
    for (size_t k = 1; k < form.length; ++k) {
        if (k >= text.size())
            return {kReplacement, k, false};
        const auto next = static_cast<unsigned char>(text[k]);
        // The second byte alone rules out overlong forms, surrogates and
        // values past U+10FFFF: each lead allows only part of 80..BF there.
        const unsigned char low = k == 1 ? form.second_low : 0x80;
        const unsigned char high = k == 1 ? form.second_high : 0xBF;
        if (next < low || next > high)
            return {kReplacement, k, false};
        c = c << 6 | (next & 0x3F);
    }
    return {c, form.length, true};
}

std::u32string code_points(std::string_view text)
{
    std::u32string out;
    while (!text.empty()) {
        const Utf8Sequence sequence = decode_utf8(text);
        out += sequence.code_point;
        text.remove_prefix(sequence.length);
    }
    return out;
}

size_t display_width(std::string_view text)
{
    size_t width = 0;
    for (char32_t c : code_points(text))
        if (!is_combining_mark(c))
            ++width;
    return width;
}

std::string pad(std::string text, size_t width)
{
    const size_t used = display_width(text);
    if (used < width)
        text.append(width - used, ' ');
    return text;
}

std::string joined(const std::vector<std::string> &items)
{
    std::string out;
    for (const std::string &item : items) {
        if (!out.empty())
            out += ", ";
        out += item;
    }
    return out;
}

std::string column_text(std::string text, size_t width)
{
    if (display_width(text) >= width)
        return text + "  ";
    return pad(std::move(text), width);
}

std::u32string code_points(std::u16string_view text)
{
    std::u32string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool pair = unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (!pair) {
            out.push_back(unit);
            continue;
        }
        out.push_back(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00));
        ++i;
    }
    return out;
}

void append_item(std::string &out, std::string_view item, std::string_view separator)
{
    if (!out.empty())
        out += separator;
    out += item;
}

}  // namespace wendol
