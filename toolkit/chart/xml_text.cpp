// xml_text.cpp - escaping for XML text and attributes.
#include "chart/xml_text.h"

namespace wendol::chart {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";   // U+FFFD

// The length of the UTF-8 sequence that starts at `at`, or 0 where the bytes
// do not form one (a stray continuation byte, an overlong or cut-off form).
size_t sequence_length(std::string_view text, size_t at, char32_t &code_point)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t length = 0;
    if (lead < 0x80)
        length = 1, code_point = lead;
    else if (lead >= 0xC2 && lead < 0xE0)
        length = 2, code_point = lead & 0x1F;
    else if (lead >= 0xE0 && lead < 0xF0)
        length = 3, code_point = lead & 0x0F;
    else if (lead >= 0xF0 && lead < 0xF5)
        length = 4, code_point = lead & 0x07;
    else
        return 0;
    if (at + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code_point = code_point << 6 | (next & 0x3F);
    }
    constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code_point < kShortest[length] || code_point > 0x10FFFF ||
        (code_point >= 0xD800 && code_point <= 0xDFFF))
        return 0;
    return length;
}

bool xml_allows(char32_t c)
{
    if (c < 0x20)
        return c == 0x09 || c == 0x0A || c == 0x0D;
    return c != 0xFFFE && c != 0xFFFF;
}

}  // namespace

std::string xml_escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const size_t length = sequence_length(text, at, c);
        if (length == 0) {
            out += kReplacement;
            ++at;
            continue;
        }
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default:
            if (xml_allows(c))
                out.append(text.substr(at, length));
            else
                out += kReplacement;
        }
        at += length;
    }
    return out;
}

}  // namespace wendol::chart
