// test_chained_layout.cpp - dead keys whose compositions are dead
// themselves (DKF_DEAD, tests/layouts/chained/), in every pointer form: the
// result waits for the next key, a chain that loops back is typed as the
// table says, and the reverse lookup finds characters only a chain reaches.
#include <gtest/gtest.h>

#include <string>

#include "engine/reverse_lookup.h"
#include "support/typing_helpers.h"

namespace wendol::test {
namespace {

class ChainedLayout : public ::testing::TestWithParam<const char *> {
protected:
    const Keymap &keymap() const { return layout_keymap("chained", GetParam()); }
};

TEST_P(ChainedLayout, ADeadCompositionWaitsForTheNextKey)
{
    expect_typing_on(keymap(), {
        {"[", "dead ´"},
        {"[ o", "ó"},
        {"[ d", "dead ˝"},                        // ´ + d: DKF_DEAD
        {"[ d o", "ő"},
        {"[ d Shift+o", "Ő"},
        {"[ d u", "ű"},
        {"[ d Space", "˝"},
        {"[ d a", "˝ a"},                         // no entry: the pending one, then a
        {"[ d d", "dead ´"},                      // ˝ + d leads back to ´
        {"[ d d o", "ó"},
        {"[ d d d o", "ő"},
        {"[ d [", "˝ ´"},                         // a dead key after it, no entry
        {"d o", "d o"},
    });
}

TEST_P(ChainedLayout, CharactersOnlyAChainReachesAreFound)
{
    const ReverseLookup lookup(keymap());
    for (char32_t ch : {U'ő', U'Ő', U'ű', U'˝'}) {
        const Found found = lookup.find(ch);
        ASSERT_TRUE(found.way) << utf8(ch);
        EXPECT_FALSE(found.platform);             // in no cell
        ASSERT_EQ(found.way->strokes.size(), 3u) << utf8(ch);
        EXPECT_TRUE(found.way->strokes[0].dead);
        ASSERT_EQ(found.way->chain.size(), 1u);
        EXPECT_EQ(found.way->chain[0]->composed, 0x02DD);
        ASSERT_NE(found.way->composition, nullptr);
        EXPECT_EQ(found.way->composition->composed, ch);
        Typist typist(keymap());
        std::u16string typed;
        for (const Chord &chord : lookup.key_sequence(*found.way))
            typed += delivered(typist.chord(chord));
        EXPECT_EQ(typed, std::u16string(1, static_cast<char16_t>(ch)));
        EXPECT_FALSE(typist.pending());
    }
    // Two strokes where two will do: ó through the acute alone.
    const Found acute = lookup.find(U'ó');
    ASSERT_TRUE(acute.way);
    EXPECT_EQ(acute.way->strokes.size(), 2u);
    EXPECT_TRUE(acute.way->chain.empty());
}

INSTANTIATE_TEST_SUITE_P(Forms, ChainedLayout, ::testing::Values("x86", "wow64", "x64", "arm64"));

}  // namespace
}  // namespace wendol::test
