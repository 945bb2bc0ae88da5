// typing_helpers.h - the built Wendol.dll, loaded away from its preferred
// base, and a keyboard to type on it with keys written as a person writes
// them ("CapsLock Shift+a").
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "engine/key_parse.h"
#include "engine/keymap.h"
#include "engine/typing.h"
#include "support/image_helpers.h"
#include "tables/tables.h"

namespace wendol::test {

constexpr uint64_t kTypingBase = 0x7FFE0000;   // not the preferred base

// The module's tables, read once per test program.
inline const Keymap &keymap()
{
    static const std::unique_ptr<const Keymap> loaded = [] {
        const MappedImage image(PeFile::read(module_path()), kTypingBase);
        return std::make_unique<const Keymap>(read_tables(image));
    }();
    return *loaded;
}

// A built test layout's tables (tests/layouts/<layout>/), read once per
// layout and pointer form ("x86", "wow64", "x64", "arm64").
inline const Keymap &layout_keymap(const std::string &layout, const std::string &variant)
{
    static std::map<std::string, std::unique_ptr<const Keymap>> loaded;
    auto &slot = loaded[layout + "/" + variant];
    if (!slot) {
        const MappedImage image(PeFile::read(test_layout(layout, variant)), kTypingBase);
        slot = std::make_unique<const Keymap>(read_tables(image));
    }
    return *slot;
}

// What a sequence of chords came to: the text delivered, and the dead
// character still pending at the end.
struct Typed {
    std::u16string text;
    std::optional<char16_t> dead;
};

// The chords of "CapsLock Shift+w", split at the spaces; a scan code with a
// prefix is written without one ("sc:E038").
inline std::vector<Chord> chords(const std::string &keys)
{
    std::vector<Chord> out;
    std::istringstream words(keys);
    for (std::string word; words >> word;)
        out.push_back(parse_chord(word));
    return out;
}

// Types `keys` on a fresh keyboard: nothing held, no lock on.
inline Typed type(const std::string &keys)
{
    Typist typist(keymap());
    Typed typed;
    for (const Chord &chord : chords(keys))
        typed.text += delivered(typist.chord(chord));
    typed.dead = typist.pending();
    return typed;
}

// The last press of a sequence, for what it selected and where it read.
inline Press last_press(const std::string &keys)
{
    Typist typist(keymap());
    std::vector<Press> presses;
    for (const Chord &chord : chords(keys))
        presses = typist.chord(chord);
    if (presses.empty())
        throw std::runtime_error("no keys in \"" + keys + "\"");
    return presses.back();
}

// Readable outcomes for failure messages: "é", "dead ´", "nothing".
inline std::string outcome(const std::u16string &text, std::optional<char16_t> dead)
{
    std::string out;
    for (char16_t c : text) {
        const char *name = invisible_name(c);
        out += (out.empty() ? "" : " ") + (name ? std::string(name) : utf8(c));
    }
    if (dead)
        out += (out.empty() ? "" : " ") + std::string("dead ") + utf8(*dead);
    return out.empty() ? "nothing" : out;
}

inline std::string outcome(const Typed &typed)
{
    return outcome(typed.text, typed.dead);
}

// A row of a typing table: the keys, and what they give written as outcome()
// writes it ("é", "´ q", "dead ˇ", "LINE SEPARATOR", "nothing").
struct Case {
    const char *keys;
    const char *gives;
};

inline void expect_typing(const std::vector<Case> &cases)
{
    for (const Case &c : cases)
        EXPECT_EQ(outcome(type(c.keys)), c.gives) << "typing " << c.keys;
}

// `keys` typed on a fresh keyboard with another keymap, as outcome() writes it.
inline std::string typed_on(const Keymap &keymap, const std::string &keys)
{
    Typist typist(keymap);
    std::u16string text;
    for (const Chord &chord : chords(keys))
        text += delivered(typist.chord(chord));
    return outcome(text, typist.pending());
}

inline void expect_typing_on(const Keymap &keymap, const std::vector<Case> &cases)
{
    for (const Case &c : cases)
        EXPECT_EQ(typed_on(keymap, c.keys), c.gives) << "typing " << c.keys;
}

}  // namespace wendol::test
