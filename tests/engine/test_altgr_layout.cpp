// test_altgr_layout.cpp - a German-style layout of the tests' own
// (tests/layouts/altgr/), typed in every pointer form it is built in: the
// right Alt key as Ctrl+Alt under KLLF_ALTGR, Caps Lock on CAPLOK,
// CAPLOKALTGR and SGCAPS letters, the platform's Ctrl+letter control
// characters, and Caps Lock as a Shift lock under KLLF_SHIFTLOCK.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <memory>
#include <string>

#include "engine/keyboard_sweep.h"
#include "support/typing_helpers.h"

namespace wendol::test {
namespace {

class AltGrLayout : public ::testing::TestWithParam<const char *> {
protected:
    const Keymap &altgr() const { return layout_keymap("altgr", GetParam()); }
    const Keymap &shift_lock() const { return layout_keymap("altgr_shiftlock", GetParam()); }
};

TEST_P(AltGrLayout, RightAltTypesTheCtrlAltColumns)
{
    EXPECT_TRUE(altgr().right_alt_is_altgr());
    EXPECT_FALSE(altgr().shift_lock());
    expect_typing_on(altgr(), {
        {"q", "q"},
        {"AltGr+q", "@"},
        {"AltGr+e", "€"},
        {"AltGr+2", "²"},
        {"AltGr+a", "æ"},
        {"AltGr+Shift+a", "Æ"},
        {"Shift+AltGr+a", "Æ"},
        {"LCtrl+LAlt+q", "@"},                    // the same column held by hand
        {"RCtrl+LAlt+e", "€"},
        {"LAlt+q", "q"},                          // Alt alone is cleared: a system character
        {"AltGr+c", "nothing"},                   // a table with no AltGr column
        {"AltGr", "nothing"},
        {"AltGr q", "q"},                         // released, it holds nothing
    });
}

TEST_P(AltGrLayout, RightAltHoldsTheLeftCtrlWhileItIsDown)
{
    Typist typist(altgr());
    const Key right_alt = ScanCode{Prefix::E0, 0x38};
    const Press p = typist.press(right_alt);
    EXPECT_EQ(p.translation.vk, kVkRMenu);
    EXPECT_TRUE(typist.state().is_down(kVkLControl));
    EXPECT_EQ(typist.modifier_bits(), 0x06);      // Ctrl+Alt
    EXPECT_EQ(delivered({typist.press(parse_key("q"))}), u"@");
    typist.release(parse_key("q"));
    typist.release(right_alt);
    EXPECT_FALSE(typist.state().is_down(kVkLControl));
    EXPECT_FALSE(typist.state().is_down(kVkMenu));
    EXPECT_EQ(typist.modifier_bits(), 0);
}

TEST_P(AltGrLayout, CapsLockShiftsOnlyWhereTheRowSaysSo)
{
    expect_typing_on(altgr(), {
        {"CapsLock q", "Q"},                      // CAPLOK
        {"CapsLock Shift+q", "q"},
        {"CapsLock AltGr+q", "@"},                // CAPLOK leaves AltGr alone...
        {"CapsLock LCtrl+LAlt+q", "@"},           // ...and Ctrl+Alt held by hand
        {"CapsLock AltGr+e", "€"},
        {"CapsLock AltGr+Shift+q", "nothing"},    // Shift+Ctrl+Alt, unshifted
        {"CapsLock a", "A"},                      // CAPLOK | CAPLOKALTGR
        {"CapsLock AltGr+a", "Æ"},
        {"CapsLock AltGr+Shift+a", "æ"},
        {"CapsLock LCtrl+LAlt+a", "Æ"},
        {"CapsLock LAlt+a", "A"},                 // Alt alone is cleared, then CAPLOK acts
        {"CapsLock Ctrl+a", "SOH"},               // Ctrl without Alt is not AltGr
        {"CapsLock Shift+Ctrl+a", "nothing"},     // SHFT_INVALID: nothing at all
        {"CapsLock CapsLock AltGr+a", "æ"},
        {"CapsLock s", "S"},                      // SGCAPS: the Caps Lock row
        {"CapsLock Shift+s", "s"},
        {"CapsLock AltGr+s", "ß"},                // with AltGr the key's own row
        {"CapsLock AltGr+Shift+s", "ẞ"},
        {"CapsLock c", "C"},                      // CAPLOK in the two-column table
        {"CapsLock Space", "SPACE"},
    });
}

// Where the tables give a letter nothing with Ctrl held, the platform types
// the control character; Alt held, or a cell of the table's own, wins.
TEST_P(AltGrLayout, CtrlLettersGiveControlCharacters)
{
    expect_typing_on(altgr(), {
        {"Ctrl+c", "ETX"},                        // no Ctrl column at all
        {"Ctrl+y", "EM"},
        {"Ctrl+z", "SUB"},
        {"RCtrl+c", "ETX"},
        {"Ctrl+Shift+c", "nothing"},              // Shift+Ctrl is SHFT_INVALID
        {"Ctrl+q", "DC1"},                        // WCH_NONE in the Ctrl column
        {"Ctrl+a", "SOH"},
        {"Ctrl+e", "ENQ"},
        {"Shift+Ctrl+q", "nothing"},
        {"CapsLock Ctrl+s", "DC3"},               // WCH_NONE in the key's own row
        {"Ctrl+m", "LF"},                         // the table's own cell
        {"Ctrl+LAlt+c", "nothing"},               // Alt held
        {"AltGr+c", "nothing"},                   // AltGr holds Alt
        {"LAlt+c", "c"},                          // Alt alone is cleared
        {"Ctrl+2", "nothing"},                    // not a letter
        {"Ctrl+Space", "nothing"},
        {"Ctrl+Esc", "nothing"},
        {"] Ctrl+c", "´ ETX"},                    // a character like any other
        {"] e", "é"},
    });
}

TEST_P(AltGrLayout, ShiftReleasesTheShiftLock)
{
    EXPECT_TRUE(shift_lock().shift_lock());
    EXPECT_TRUE(shift_lock().right_alt_is_altgr());
    expect_typing_on(shift_lock(), {
        {"CapsLock a", "A"},
        {"CapsLock CapsLock a", "A"},             // the key only turns it on
        {"CapsLock CapsLock CapsLock a", "A"},
        {"CapsLock Shift a", "a"},                // Shift turns it off
        {"CapsLock RShift a", "a"},
        {"CapsLock Shift+a a", "A a"},            // Shift held: capitals from Shift
        {"CapsLock AltGr a", "A"},                // other modifiers leave it on
        {"CapsLock Ctrl a", "A"},
        {"Shift CapsLock a", "A"},
        {"CapsLock Shift CapsLock a", "A"},
    });
    expect_typing_on(altgr(), {                   // without the flag, a toggle
        {"CapsLock CapsLock a", "a"},
        {"CapsLock Shift a", "A"},
    });
}

// Under KLLF_SHIFTLOCK what Caps Lock turns on is a Shift lock, and the
// sweep's states are labelled so.
TEST_P(AltGrLayout, TheLockIsNamedAfterWhatItIs)
{
    SweepState locked;
    locked.caps_lock = locked.num_lock = true;
    EXPECT_EQ(locks_text(shift_lock(), locked), "Shift Lock on, Num Lock on");
    EXPECT_EQ(locks_text(altgr(), locked), "Caps Lock on, Num Lock on");
    EXPECT_EQ(locks_text(altgr(), SweepState{}), "");
}

// M is the last row of its table; made SGCAPS, it has no Caps Lock row, and
// the keymap cannot answer M under Caps Lock.  The sweep hands those presses
// over as broken and presses every other key in every state all the same.
TEST_P(AltGrLayout, TheSweepGoesOnPastAKeyTheTablesCannotAnswer)
{
    std::vector<uint8_t> bytes = read_bytes(test_layout("altgr", GetParam()));
    const LayoutTables tables = read_tables(map_bytes(bytes));
    const auto &rows = tables.char_tables.at(0).rows;
    ASSERT_EQ(rows.back().vk, 'M');
    bytes.at(file_offset(bytes, rows.back().rva + 1)) = kSgCaps;
    const Keymap damaged(read_tables(map_bytes(bytes)));

    size_t visited = 0, broken = 0;
    std::set<uint8_t> broken_keys;
    sweep_keyboard(
        damaged, [&](const SweepState &, const Press &) { ++visited; },
        [&](const SweepState &state, const Key &key, const CellFault &fault) {
            ++broken;
            EXPECT_TRUE(state.caps_lock);
            broken_keys.insert(std::get<ScanCode>(key).code);
            EXPECT_NE(fault.expected.find("Caps Lock row"), std::string::npos) << fault.expected;
        });
    EXPECT_EQ(broken_keys, std::set<uint8_t>{0x32});
    std::set<std::pair<Prefix, uint8_t>> keys;
    for (const auto &entry : damaged.scan_codes())
        keys.insert({entry.first.prefix, entry.first.code});
    const size_t states = (size_t{1} << sweep_modifiers(damaged).size()) * 4;
    EXPECT_EQ(visited + broken, keys.size() * states);
    EXPECT_GT(broken, 0u);
}

INSTANTIATE_TEST_SUITE_P(Forms, AltGrLayout, ::testing::Values("x86", "wow64", "x64", "arm64"));

// Wendol's right Alt key is a modifier key of its own, not Ctrl+Alt: its
// tables set no locale flag and the key holds no Ctrl.
TEST(WendolLocaleFlags, RightAltHoldsNoCtrl)
{
    EXPECT_FALSE(keymap().right_alt_is_altgr());
    EXPECT_FALSE(keymap().shift_lock());
    Typist typist(keymap());
    const Press p = typist.press(ScanCode{Prefix::E0, 0x38});
    EXPECT_NE(p.translation.vk, kVkRMenu);
    EXPECT_FALSE(typist.state().is_down(kVkControl));
    EXPECT_FALSE(typist.state().is_down(kVkMenu));
}

}  // namespace
}  // namespace wendol::test
