// xml_text.cpp - escaping for XML text and attributes.
#include "base/xml_text.h"

#include "base/text.h"

namespace wendol {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";   // U+FFFD

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
        const Utf8Sequence sequence = decode_utf8(text.substr(at));
        const size_t length = sequence.length;
        if (!sequence.valid) {
            out += kReplacement;
            at += length;
            continue;
        }
        switch (sequence.code_point) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default:
            if (xml_allows(sequence.code_point))
                out.append(text.substr(at, length));
            else
                out += kReplacement;
        }
        at += length;
    }
    return out;
}

}  // namespace wendol
