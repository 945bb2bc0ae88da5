// test_compose.cpp - dead keys typed on the built Wendol.dll, and the shape
// of its composition table.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "engine/compose.h"
#include "support/typing_helpers.h"

namespace wendol::test {
namespace {

TEST(Compose, AccentsTypedFromTheKeys)
{
    expect_typing({
        {"AltGr+= e", "é"},
        {"AltGr+= Space", "´"},
        {"CapsLock ; a", "ά"},                   // the tonos on the Greek layer
        {"CapsLock ; Shift+v", "Ώ"},
        {"AltGr+= CapsLock a", "ά"},              // Caps Lock between leaves the acute pending
        {"AltGr+Shift+= j", "ǰ"},
        {"AltGr+Shift+= Shift+j", "ˇ J"},         // no entry
        {"AltGr+\\ Shift+y", "Ÿ"},
        {"CapsLock Shift+; i", "ϊ"},
        {"AltGr+Shift+\\ w", "ŵ"},
        {"AltGr+Shift+Oem102 Shift+u", "Ű"},
        {"AltGr+Shift+6 n", "ñ"},
    });
}

TEST(Compose, RingAndSuperscripts)
{
    expect_typing({
        {"AltGr+Shift+` Shift+a", "Å"},
        {"AltGr+Shift+` Shift+b", "ᴮ"},
        {"AltGr+Shift+` q", "° q"},
        {"AltGr+Shift+` Shift+s", "° S"},
        {"AltGr+Shift+` Shift+x", "° X"},
        {"AltGr+Shift+` Shift+y", "° Y"},
        {"AltGr+Shift+` Shift+z", "° Z"},
        {"AltGr+Shift+` 2", "²"},
        {"AltGr+Shift+` Shift+=", "⁺"},
        {"AltGr+Shift+` CapsLock f", "ᵠ"},
        {"AltGr+Shift+` Space", "°"},
    });
}

TEST(Compose, SubscriptsAndFractions)
{
    expect_typing({
        {"AltGr+Shift+0 i", "ᵢ"},                 // the dead key's own character
        {"AltGr+Shift+0 2", "₂"},
        {"AltGr+Shift+0 CapsLock r", "ᵨ"},
        {"AltGr+1 0", "⅒"},
        {"AltGr+1 3", "⅓"},
        {"AltGr+1 1", "⅟ 1"},                     // no entry
        {"AltGr+6 2", "⅓"},
        {"AltGr+6 3", "½"},
        {"AltGr+6 4", "⅔"},
        {"AltGr+6 6", "⅙ 6"},
        {"AltGr+2 4", "½"},
        {"AltGr+2 3", "⅔"},
        {"AltGr+5 4", "⅘"},
        {"AltGr+7 6", "¾"},
        {"AltGr+7 8", "⅛ 8"},
    });
}

TEST(Compose, DialytikaTonos)
{
    expect_typing({
        {"CapsLock Shift+w i", "ΐ"},
        {"CapsLock Shift+w y", "ΰ"},
        {"CapsLock Shift+w Shift+i", "΅ Ι"},      // no entry for the capital
        {"CapsLock Shift+w Space", "΅"},
    });
}

TEST(Compose, WithoutAnEntryTheDeadCharacterComesFirst)
{
    expect_typing({
        {"AltGr+= q", "´ q"},
        {"AltGr+= q e", "´ q e"},                 // nothing stays pending
        {"AltGr+= AltGr+=", "´ ´"},
        {"AltGr+= AltGr+Shift+=", "´ ˇ"},         // a second dead key, no entry
        {"AltGr+= AltGr+Shift+= e", "´ ˇ e"},
        {"AltGr+= Enter", "´ CR"},
        {"AltGr+= Tab", "´ TAB"},
        {"AltGr+=", "dead ´"},
        {"AltGr+= Shift", "dead ´"},              // a modifier alone types nothing
        {"AltGr+= Left e", "é"},                  // nor does a navigation key
        {"AltGr+= Ctrl+1 e", "é"},                // nor an empty cell
        {"AltGr+= Ctrl+a e", "´ SOH e"},          // the platform's Ctrl+A is a character
        {"AltGr+= Shift+e", "É"},
    });
}

// Bases no key of the layout types, composed from the characters.
TEST(Compose, BasesFromOtherScripts)
{
    struct Pair {
        char16_t dead;
        char16_t base;
        std::optional<char16_t> composed;
    };
    const Pair pairs[] = {
        {u'°', u'φ', u'ᵠ'},
        {u'°', u'ϕ', u'ᵠ'},
        {u'°', u'ә', u'ᵊ'},    // Cyrillic schwa
        {u'°', u'ə', u'ᵊ'},    // Latin schwa
        {u'ᵢ', u'ә', u'ₔ'},
        {u'ᵢ', u'ϕ', u'ᵩ'},
        {u'ˇ', u'З', u'Ǯ'},
        {u'ˇ', u'з', u'ǯ'},
        {u'ˇ', u'Џ', u'Ǆ'},
        {u'ˇ', u'џ', u'ǆ'},    // U+01C6, the small digraph like the other small bases
        {u'˝', u'У', u'Ӳ'},
        {u'˝', u'у', u'ӳ'},
        {u'΅', u'Ι', std::nullopt},
        {u'⅟', u'1', std::nullopt},
        {u'ˇ', u'J', std::nullopt},
    };
    for (const Pair &p : pairs) {
        Compose compose;
        const Delivery first = compose.dead(keymap(), p.dead);
        EXPECT_EQ(outcome(first.text, first.pending), "dead " + utf8(p.dead));
        const Delivery d = compose.character(keymap(), p.base);
        const std::u16string expected =
            p.composed ? std::u16string(1, *p.composed) : std::u16string{p.dead, p.base};
        EXPECT_EQ(outcome(d.text, d.pending), outcome(expected, std::nullopt))
            << utf8(p.dead) << " + " << utf8(p.base);
        EXPECT_EQ(d.entry != nullptr, p.composed.has_value()) << utf8(p.dead) << " + " << utf8(p.base);
    }
}

TEST(CompositionTable, FourteenGroupsInOrderEachOpeningWithSpace)
{
    struct Group {
        char16_t dead;
        size_t entries;
    };
    const Group expected[] = {
        {u'´', 49}, {u'ˇ', 38}, {u'°', 77}, {u'¨', 24}, {u'΅', 3},  {u'^', 27}, {u'˝', 7},
        {u'˜', 17}, {u'ᵢ', 41}, {u'⅟', 10}, {u'⅔', 4},  {u'⅕', 5},  {u'⅙', 6},  {u'⅛', 8},
    };
    const auto &entries = keymap().tables().dead_keys;
    ASSERT_EQ(entries.size(), 316u);

    std::vector<Group> found;
    for (const DeadKeyEntry &e : entries) {
        if (found.empty() || found.back().dead != e.dead) {
            found.push_back({static_cast<char16_t>(e.dead), 0});
            EXPECT_EQ(e.base, u' ') << "the group of " << utf8(e.dead) << " opens with "
                                    << utf8(e.base);
            EXPECT_EQ(e.composed, e.dead) << "space after " << utf8(e.dead);
        }
        ++found.back().entries;
    }
    ASSERT_EQ(found.size(), std::size(expected));
    for (size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(utf8(found[i].dead), utf8(expected[i].dead)) << "group " << i + 1;
        EXPECT_EQ(found[i].entries, expected[i].entries) << "group of " << utf8(expected[i].dead);
    }
}

TEST(CompositionTable, NoPairTwiceAndNoFlags)
{
    std::set<std::pair<uint16_t, uint16_t>> pairs;
    for (const DeadKeyEntry &e : keymap().tables().dead_keys) {
        EXPECT_TRUE(pairs.emplace(e.dead, e.base).second)
            << utf8(e.dead) << " + " << utf8(e.base) << " is there twice";
        EXPECT_EQ(e.flags, 0) << utf8(e.dead) << " + " << utf8(e.base);
    }
}

// The space entries give the dead characters, so each dead key followed by
// the space bar types its own accent, typed from the keys.
TEST(CompositionTable, EveryDeadKeyThenSpaceGivesItsAccent)
{
    expect_typing({
        {"AltGr+= Space", "´"},              {"AltGr+Shift+= Space", "ˇ"},
        {"AltGr+Shift+` Space", "°"},        {"AltGr+\\ Space", "¨"},
        {"CapsLock Shift+w Space", "΅"},     {"AltGr+Shift+\\ Space", "^"},
        {"AltGr+Shift+Oem102 Space", "˝"},   {"AltGr+Shift+6 Space", "˜"},
        {"AltGr+Shift+0 Space", "ᵢ"},        {"AltGr+1 Space", "⅟"},
        {"AltGr+2 Space", "⅔"},              {"AltGr+5 Space", "⅕"},
        {"AltGr+6 Space", "⅙"},              {"AltGr+7 Space", "⅛"},
        {"AltGr+= Shift+Space", "´"},        // Shift+Space is a space too
        {"AltGr+= AltGr+Space", "´ NO-BREAK SPACE"},
    });
}

}  // namespace
}  // namespace wendol::test
