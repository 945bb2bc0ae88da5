// test_reverse_lookup.cpp - from characters back to keys on the built
// Wendol.dll: what the platform would report, and the way to type each
// character, checked by typing it.
#include <gtest/gtest.h>

#include <set>

#include "engine/reverse_lookup.h"
#include "support/typing_helpers.h"
#include "tables/vk_names.h"

namespace wendol::test {
namespace {

TEST(ReverseLookup, PlatformReportsTheFirstCellInListOrder)
{
    struct Report {
        char16_t ch;
        const char *vk;
        unsigned bits;
        RowRole role;
    };
    const Report reports[] = {
        {u'/', "VK_ABNT_C1", 0, RowRole::KeyRow},          // before VK_DIVIDE and VK_OEM_2
        {u'?', "VK_ABNT_C1", 1, RowRole::KeyRow},
        {u'°', "VK_ABNT_C1", 8, RowRole::KeyRow},          // before the grave key's dead ring
        {u'÷', "VK_DIVIDE", 1, RowRole::KeyRow},           // before AltGr+/
        {u',', "VK_ABNT_C2", 1, RowRole::KeyRow},
        {u'=', "VK_OEM_NEC_EQUAL", 0, RowRole::KeyRow},
        {u'§', "VK_OEM_8", 0, RowRole::KeyRow},
        {u'\x7f', "VK_BACK", 2, RowRole::KeyRow},
        {u'\r', "VK_RETURN", 0, RowRole::KeyRow},
        {u'é', "VK_OEM_7", 8, RowRole::KeyRow},
        {u'½', "2", 9, RowRole::KeyRow},
        {u'7', "7", 0, RowRole::KeyRow},                   // the keypad digits come last
        {u'└', "VK_NUMPAD1", 8, RowRole::KeyRow},
        {u'Ⅳ', "VK_NUMPAD4", 1, RowRole::KeyRow},
        {u'α', "A", 0, RowRole::CapsLock},                 // reported on the key row above
        {u'Α', "A", 1, RowRole::CapsLock},
        {u'ς', "W", 0, RowRole::CapsLock},
        {u';', "Q", 0, RowRole::CapsLock},                 // Q's Caps Lock row comes first
        {u'⅔', "2", 8, RowRole::CapsLock},
        {u'´', "VK_OEM_PLUS", 8, RowRole::DeadCharacters},
        {u'ˇ', "VK_OEM_PLUS", 9, RowRole::DeadCharacters},
        {u'΅', "W", 1, RowRole::DeadCharacters},
        {u'˝', "VK_OEM_102", 9, RowRole::DeadCharacters},
    };
    for (const Report &r : reports) {
        const Found found = find_character(keymap(), r.ch);
        ASSERT_TRUE(found.platform) << utf8(r.ch);
        EXPECT_EQ(vk_label(found.platform->vk), r.vk) << utf8(r.ch);
        EXPECT_EQ(found.platform->bits, r.bits) << utf8(r.ch);
        EXPECT_EQ(found.platform->role, r.role) << utf8(r.ch);
    }
    for (char32_t absent : std::initializer_list<char32_t>{U'ά', U'ǰ', U'\u20AD', U'\U0001F600', kWchNone, kWchDead})
        EXPECT_FALSE(find_character(keymap(), absent).platform) << code_point_text(absent);
}

std::string way_keys(char32_t ch)
{
    const ReverseLookup lookup(keymap());
    const Found found = lookup.find(ch);
    if (!found.way)
        return "none";
    std::string keys;
    for (const Chord &chord : lookup.key_sequence(*found.way))
        keys += (keys.empty() ? "" : " ") + chord_text(chord);
    return keys;
}

TEST(ReverseLookup, TheWayToTypeNamesLocksAndDeadKeys)
{
    struct WayCase {
        char32_t ch;
        const char *keys;
    };
    const WayCase ways[] = {
        {U'é', "AltGr+'"},
        {U'a', "a"},
        {U'A', "Shift+a"},
        {U'ς', "CapsLock w"},
        {U'Α', "CapsLock Shift+a"},
        {U'⅔', "AltGr+2 Space"},                 // the Caps Lock row's ⅔ is never read
        {U'└', "NumLock AltGr+KP_1"},
        {U'\x03', "Break"},
        {U'´', "AltGr+= Space"},                 // the dead key's own accent
        {U'ά', "AltGr+= CapsLock a"},
        {U'ΐ', "CapsLock Shift+w i"},
        {U'ǰ', "Shift+AltGr+= j"},
        {U'ᵠ', "Shift+AltGr+` CapsLock f"},
        {U'Ⅳ', "none"},                           // Shift gives the keypad's navigation key back
        {U'Ǯ', "none"},                           // only from a Cyrillic base
        {U'\U0001F600', "none"},
    };
    for (const WayCase &w : ways)
        EXPECT_EQ(way_keys(w.ch), w.keys) << code_point_text(w.ch);
}

// Every character a cell or a composition holds, found and then typed.
TEST(ReverseLookup, EveryWayTypesItsCharacter)
{
    std::set<char16_t> characters;
    for (const CharTable &table : keymap().tables().char_tables)
        for (const CharRow &row : table.rows)
            for (uint16_t cell : row.cells)
                if (cell != kWchNone && cell != kWchDead && cell != kWchLigature)
                    characters.insert(cell);
    for (const DeadKeyEntry &entry : keymap().tables().dead_keys)
        characters.insert(entry.composed);

    const ReverseLookup lookup(keymap());
    std::u16string unreachable;
    for (char16_t ch : characters) {
        const Found found = lookup.find(ch);
        if (!found.way) {
            unreachable += ch;
            continue;
        }
        Typist typist(keymap());
        std::u16string text;
        for (const Chord &chord : lookup.key_sequence(*found.way))
            text += delivered(typist.chord(chord));
        EXPECT_EQ(outcome(text, typist.pending()), outcome(std::u16string(1, ch), std::nullopt))
            << "the way to type " << code_point_text(ch);
    }
    // The keypad's Shift column needs Num Lock and Shift at once, which gives
    // the navigation keys; ‥ sits only in the AltGr column of the keypad
    // decimal's Caps Lock row, which AltGr never reads; the rest compose only
    // from Cyrillic bases, the Latin schwa or the Greek ϕ, which no key types.
    EXPECT_EQ(outcome(unreachable, std::nullopt),
              outcome(u"ǄǆǮǯӲӳᵊᵸ‥ₔⅠⅡⅢⅣⅤⅥⅦⅧⅨⅩꚜꚝ", std::nullopt));
}

}  // namespace
}  // namespace wendol::test
