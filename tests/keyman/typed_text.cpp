// typed_text.cpp - a key's steps applied to a document, and the three
// Unicode forms the engines and the tests speak.
#include "keyman/typed_text.h"

#include <algorithm>
#include <stdexcept>

namespace wendol::test {

std::u32string KeyResult::inserted() const {
    std::u32string text;
    for (const EngineStep &step : steps)
        if (step.kind == EngineStep::Kind::insert) text += step.character;
    return text;
}

size_t KeyResult::count(EngineStep::Kind kind) const {
    return static_cast<size_t>(std::count_if(steps.begin(), steps.end(),
                                             [kind](const EngineStep &s) { return s.kind == kind; }));
}

void apply(const KeyResult &key, std::u32string &text, size_t &markers) {
    for (const EngineStep &step : key.steps) {
        switch (step.kind) {
        case EngineStep::Kind::insert: text += step.character; break;
        case EngineStep::Kind::delete_character:
            if (!text.empty()) text.pop_back();
            break;
        case EngineStep::Kind::set_marker: ++markers; break;
        case EngineStep::Kind::delete_marker:
            if (markers != 0) --markers;
            break;
        default: break;
        }
    }
}

std::string TypedText::utf8() const { return to_utf8(text); }

std::string to_utf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) {
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
    }
    return out;
}

std::u16string to_utf16(std::u32string_view text) {
    std::u16string out;
    for (char32_t c : text) {
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::u32string from_utf8(std::string_view text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size())
            throw std::invalid_argument("malformed UTF-8 at byte " + std::to_string(i));
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next >> 6 != 2) throw std::invalid_argument("malformed UTF-8 at byte " + std::to_string(i + k));
            c = c << 6 | (next & 0x3F);
        }
        out += c;
        i += length;
    }
    return out;
}

}  // namespace wendol::test
