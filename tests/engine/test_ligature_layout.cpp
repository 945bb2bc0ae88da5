// test_ligature_layout.cpp - a layout of the tests' own whose keys type
// ligatures (tests/layouts/ligature/), in every pointer form: the list read
// through its far pointer, each WCH_LGTR cell typing its entry's
// characters, a pending dead character meeting the first of them, and the
// reverse lookup reaching characters only a ligature types.
#include <gtest/gtest.h>

#include <string>

#include "engine/reverse_lookup.h"
#include "support/typing_helpers.h"
#include "tables/table_extents.h"

namespace wendol::test {
namespace {

class LigatureLayout : public ::testing::TestWithParam<const char *> {
protected:
    const Keymap &keymap() const { return layout_keymap("ligature", GetParam()); }
};

TEST_P(LigatureLayout, TheListIsReadThroughItsPointer)
{
    const LayoutTables &t = keymap().tables();
    EXPECT_EQ(t.lg_max, 4);
    EXPECT_EQ(t.cb_lg_entry, 12);
    ASSERT_EQ(t.ligatures.size(), 3u);
    EXPECT_EQ(t.ligatures[0].vk, 'J');
    EXPECT_EQ(t.ligatures[0].column, 1);
    EXPECT_EQ(t.ligatures[0].text(), u"IJ");
    EXPECT_EQ(t.ligatures[1].text(), u"ffi");
    EXPECT_EQ(t.ligatures[2].text(), u"e.g.");
    // The list is a table like the others: its bytes up to its end entry.
    bool covered = false;
    for (const Extent &e : table_extents(t))
        covered |= e.what == "ligature list" && e.size == 4 * 12 && e.rva == t.ligatures[0].rva;
    EXPECT_TRUE(covered);
}

TEST_P(LigatureLayout, EachLigatureCellTypesItsCharacters)
{
    expect_typing_on(keymap(), {
        {"j", "j"},
        {"Shift+j", "I J"},                       // two characters, Shift column
        {"AltGr+f", "f f i"},                     // three, AltGr column
        {"AltGr+Shift+e", "e . g ."},             // four: nLgMax, no WCH_NONE
        {"CapsLock j", "I J"},                    // CAPLOK: Caps Lock as Shift
        {"CapsLock Shift+j", "j"},
        {"LCtrl+LAlt+f", "f f i"},                // the same column held by hand
        {"Shift+j Shift+j", "I J I J"},
    });
}

// The engine's choice: a ligature's characters are typed one after
// another, so the first meets the pending dead character.
TEST_P(LigatureLayout, APendingDeadCharacterMeetsTheFirstCharacter)
{
    expect_typing_on(keymap(), {
        {"[ AltGr+Shift+e", "é . g ."},           // ´ + e composes
        {"[ AltGr+f", "´ f f i"},                 // no entry for ´ + f
        {"[ Shift+j", "´ I J"},
        {"AltGr+f [", "f f i dead ´"},
    });
    Typist typist(keymap());
    typist.chord(chords("[")[0]);
    const std::vector<Press> presses = typist.chord(chords("AltGr+Shift+e")[0]);
    const Press &p = presses.back();
    EXPECT_EQ(p.cell.kind, Cell::Kind::Ligature);
    ASSERT_NE(p.delivery.entry, nullptr);
    EXPECT_EQ(p.delivery.entry->composed, 0x00E9);
    EXPECT_FALSE(typist.pending());
}

TEST_P(LigatureLayout, CharactersOnlyALigatureTypesAreFound)
{
    const ReverseLookup lookup(keymap());
    for (const auto &[ch, text] : {std::pair{U'I', u"IJ"}, {U'.', u"e.g."}, {U'g', u"e.g."}}) {
        const Found found = lookup.find(ch);
        ASSERT_TRUE(found.way) << utf8(ch);
        ASSERT_EQ(found.way->strokes.size(), 1u);
        EXPECT_EQ(found.way->strokes[0].ligature, text);
        EXPECT_EQ(found.way->text(static_cast<char16_t>(ch)), text);
        // The keys it names type the ligature on a fresh keyboard.
        Typist typist(keymap());
        std::u16string typed;
        for (const Chord &chord : lookup.key_sequence(*found.way))
            typed += delivered(typist.chord(chord));
        EXPECT_EQ(typed, text);
    }
    // A character a key gives alone is found there, not in a ligature.
    const Found f = lookup.find(U'f');
    ASSERT_TRUE(f.way);
    EXPECT_TRUE(f.way->strokes[0].ligature.empty());
    EXPECT_EQ(f.way->strokes[0].gives, u'f');
}

INSTANTIATE_TEST_SUITE_P(Forms, LigatureLayout, ::testing::Values("x86", "wow64", "x64", "arm64"));

}  // namespace
}  // namespace wendol::test
