// test_kana_layout.cpp - a Japanese-style layout of the tests' own
// (tests/layouts/kana/), in every pointer form: the Kana key as a lock that
// adds KBDKANA on KANALOK rows and as a modifier while it is held, after
// Caps Lock has had its say, and the reverse lookup's keys for the Kana
// columns.
#include <gtest/gtest.h>

#include <string>

#include "engine/keyboard_sweep.h"
#include "engine/reverse_lookup.h"
#include "support/typing_helpers.h"

namespace wendol::test {
namespace {

class KanaLayout : public ::testing::TestWithParam<const char *> {
protected:
    const Keymap &keymap() const { return layout_keymap("kana", GetParam()); }
};

const Key kKanaKey = ScanCode{Prefix::None, 0x29};

TEST_P(KanaLayout, TheKanaKeyTogglesTheLock)
{
    EXPECT_TRUE(keymap().has_kana_lock_rows());
    Typist typist(keymap());
    typist.chord({kKanaKey});
    EXPECT_TRUE(typist.state().kana_lock());
    EXPECT_EQ(typist.modifier_bits(), 0);         // released, it holds no bit
    typist.chord({kKanaKey});
    EXPECT_FALSE(typist.state().kana_lock());
    typist.press(kKanaKey);
    EXPECT_EQ(typist.modifier_bits(), 0x08);      // held: KBDKANA
    EXPECT_TRUE(typist.state().kana_lock());
    EXPECT_TRUE(typist.press(kKanaKey).repeat);   // an auto-repeat toggles nothing
    EXPECT_TRUE(typist.state().kana_lock());
}

TEST_P(KanaLayout, TheLockGivesKanaLokRowsTheirKanaColumns)
{
    expect_typing_on(keymap(), {
        {"a", "a"},
        {"sc:29 a", "ち"},                        // the lock on: KANALOK row
        {"sc:29 Shift+z", "っ"},                  // Kana+Shift
        {"sc:29 z", "つ"},
        {"sc:29 1", "ぬ"},
        {"sc:29 Shift+a", "nothing"},             // WCH_NONE in Kana+Shift
        {"sc:29 sc:29 a", "a"},                   // toggled off again
        {"sc:29 q", "q"},                         // not KANALOK: the lock leaves it
        {"sc:29 Space", "SPACE"},
        {"CapsLock a", "A"},
        {"CapsLock sc:29 a", "ち"},               // the Kana lock instead of Caps Lock
        {"CapsLock sc:29 z", "つ"},
    });
}

TEST_P(KanaLayout, TheKanaKeyHeldIsAModifierForEveryRow)
{
    expect_typing_on(keymap(), {
        {"sc:29+q", "た"},                        // not KANALOK, but KBDKANA held
        {"sc:29+a", "ち"},
        {"sc:29+Shift+z", "っ"},
        {"sc:29+q a", "た ち"},                   // pressing it turned the lock on
        {"sc:29+q q", "た q"},
    });
}

TEST_P(KanaLayout, TheReverseLookupNamesKeysThatTypeTheKanaColumns)
{
    const ReverseLookup lookup(keymap());
    for (char32_t ch : {U'ち', U'つ', U'っ', U'ぬ', U'た'}) {
        const Found found = lookup.find(ch);
        ASSERT_TRUE(found.way) << utf8(ch);
        Typist typist(keymap());
        std::u16string typed;
        for (const Chord &chord : lookup.key_sequence(*found.way))
            typed += delivered(typist.chord(chord));
        EXPECT_EQ(typed, std::u16string(1, static_cast<char16_t>(ch))) << utf8(ch);
    }
}

TEST_P(KanaLayout, TheSweepCoversTheKanaLock)
{
    bool kana_on = false, kana_typed = false;
    sweep_keyboard(keymap(), [&](const SweepState &state, const Press &press) {
        kana_on |= state.kana_lock;
        kana_typed |= state.kana_lock && state.modifiers.empty() && press.cell.ch == u'ぬ';
    });
    EXPECT_TRUE(kana_on);
    EXPECT_TRUE(kana_typed);
}

INSTANTIATE_TEST_SUITE_P(Forms, KanaLayout, ::testing::Values("x86", "wow64", "x64", "arm64"));

// Wendol gives KBDKANA to its AltGr key and has no KANALOK row: the lock
// changes nothing there, and the sweep leaves it off.
TEST(WendolKanaLock, TheLockChangesNothing)
{
    EXPECT_FALSE(keymap().has_kana_lock_rows());
    EXPECT_EQ(outcome(type("vk:15 a")), "a");
}

}  // namespace
}  // namespace wendol::test
