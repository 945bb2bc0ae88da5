// typed_text.h - what a keyboard engine did with one key, and the text an
// application ends up with, in the same record for Keyman Core and KMFL so
// a test compares the two (and the toolkit's engine) field by field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace wendol::test {

// Keyman's modifier flags (keyboardprocessor_vkeys.h), the one language both
// wrappers take keys in.  AltGr is right Alt alone: Core treats the
// Windows pair Left Ctrl + Right Alt as Ctrl+Alt, never as [RALT ...].
namespace keyman_modifier {
inline constexpr uint16_t left_ctrl = 1 << 0;
inline constexpr uint16_t right_ctrl = 1 << 1;
inline constexpr uint16_t left_alt = 1 << 2;
inline constexpr uint16_t right_alt = 1 << 3;
inline constexpr uint16_t shift = 1 << 4;
inline constexpr uint16_t caps = 1 << 8;     // Caps Lock is on
inline constexpr uint16_t no_caps = 1 << 9;  // Caps Lock is off (the same as neither)
}  // namespace keyman_modifier

// A key going down: a Windows (US) virtual-key code and the flags above.
struct Keystroke {
    uint16_t vk = 0;
    uint16_t modifiers = 0;
};

// One thing an engine told the application to do, in the order it said it.
struct EngineStep {
    enum class Kind {
        insert,            // `character` goes in before the caret
        delete_character,  // the character before the caret goes
        delete_marker,     // a dead-key marker goes; the text is untouched
        set_marker,        // a dead-key marker is left, invisible, in the context
        alert,             // the keyboard beeped
        passed_on,         // no rule: the key goes to the application as it is
        context_reset,     // the engine asks the application to forget its context
        caps_lock,         // the keyboard switches Caps Lock (`character` 1 on, 0 off)
    };
    Kind kind;
    char32_t character = 0;  // insert and caps_lock; the marker's number for markers

    bool operator==(const EngineStep &) const = default;
};

// What one key did.
struct KeyResult {
    std::vector<EngineStep> steps;

    std::u32string inserted() const;
    size_t count(EngineStep::Kind kind) const;
    bool passed_on() const { return count(EngineStep::Kind::passed_on) != 0; }
};

// What the platform itself types for a key the engine passed on; the
// default types nothing.
using PlatformKey = std::function<std::u32string(const Keystroke &)>;

// A whole sequence as an application sees it.
struct TypedText {
    std::u32string text;                // what is left in the document
    std::vector<KeyResult> keys;        // one per keystroke, in order
    std::vector<size_t> passed_on;      // the indices of the keys the engine passed on
    size_t markers_left = 0;            // dead-key markers set and never taken back

    std::string utf8() const;
};

// Every key pressed in turn through `press`, its steps applied to a
// document; a key passed on types what `platform` says.
TypedText type_each(const std::vector<Keystroke> &keys, const PlatformKey &platform,
                    const std::function<KeyResult(const Keystroke &)> &press);

// Applies one key's steps to `text`.  A delete with nothing before the
// caret deletes nothing, as in an empty field.
void apply(const KeyResult &key, std::u32string &text, size_t &markers);

std::string to_utf8(std::u32string_view text);
std::u16string to_utf16(std::u32string_view text);
// Malformed input is a test failure, so it throws std::invalid_argument.
std::u32string from_utf8(std::string_view text);

}  // namespace wendol::test
