// typed_text.cpp - a key's steps applied to a document, and the three
// Unicode forms the engines and the tests speak.
#include "keyman/typed_text.h"

#include <algorithm>
#include <stdexcept>

#include "base/text.h"

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
    for (char32_t c : text) out += wendol::utf8(c);
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
        const Utf8Sequence sequence = decode_utf8(text.substr(i));
        if (!sequence.valid) throw std::invalid_argument("malformed UTF-8 at byte " + std::to_string(i));
        out += sequence.code_point;
        i += sequence.length;
    }
    return out;
}

TypedText type_each(const std::vector<Keystroke> &keys, const PlatformKey &platform,
                    const std::function<KeyResult(const Keystroke &)> &press) {
    TypedText typed;
    for (const Keystroke &key : keys) {
        KeyResult result = press(key);
        apply(result, typed.text, typed.markers_left);
        if (result.passed_on()) {
            typed.passed_on.push_back(typed.keys.size());
            if (platform) typed.text += platform(key);
        }
        typed.keys.push_back(std::move(result));
    }
    return typed;
}

}  // namespace wendol::test
