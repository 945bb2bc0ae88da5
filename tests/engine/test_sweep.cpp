// test_sweep.cpp - the keyboard sweep presses every key under every
// modifier combination and lock state, and each press finds the keyboard as
// the state says, whatever the key pressed before it toggled.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/keyboard_sweep.h"
#include "support/image_helpers.h"
#include "support/typing_helpers.h"
#include "tables/vk_names.h"

namespace wendol {
namespace {


// What one press of the sweep gave: a character, a dead character, or nothing.
struct Outcome {
    Cell::Kind kind = Cell::Kind::NoRow;
    char16_t ch = 0;
};

using StateKey = std::tuple<bool, bool, std::vector<uint8_t>, uint8_t, uint8_t>;

std::map<StateKey, Outcome> sweep_outcomes()
{
    std::map<StateKey, Outcome> out;
    sweep_keyboard(test::keymap(), [&](const SweepState &state, const Press &press) {
        const auto &scan = std::get<ScanCode>(press.key);
        out[{state.caps_lock, state.num_lock, state.modifiers, static_cast<uint8_t>(scan.prefix),
             scan.code}] = {press.cell.kind, press.cell.ch};
    });
    return out;
}

TEST(Sweep, EveryKeyUnderEveryStateOnce)
{
    const auto outcomes = sweep_outcomes();
    const size_t modifiers = sweep_modifiers(test::keymap()).size();
    ASSERT_EQ(modifiers, 4u);   // Shift, Ctrl, Alt, AltGr
    std::set<std::pair<uint8_t, uint8_t>> keys;
    for (const auto &[scan, vk] : test::keymap().scan_codes())
        keys.insert({static_cast<uint8_t>(scan.prefix), scan.code});
    EXPECT_EQ(outcomes.size(), keys.size() * (1u << modifiers) * 4);
}

TEST(Sweep, EachPressSeesTheStateItIsSweptUnder)
{
    const auto outcomes = sweep_outcomes();
    struct Case {
        bool caps, num;
        std::vector<uint8_t> modifiers;
        uint8_t scan;
        Cell::Kind kind;
        char16_t ch;
    };
    // Keypad 7 (0x47) and F12 (0x58) are pressed after Caps Lock (0x3A)
    // and Num Lock (0x45) under the same state: they must find the locks as
    // the state says, not as those two keys left them.
    const Case cases[] = {
        {false, false, {}, 0x1E, Cell::Kind::Character, u'a'},
        {true, false, {}, 0x1E, Cell::Kind::Character, u'\u03B1'},
        {true, false, {kVkShift}, 0x1E, Cell::Kind::Character, u'\u0391'},
        {false, false, {kVkAltGr}, 0x1E, Cell::Kind::Character, u'\u00E1'},
        {false, false, {kVkAltGr}, 0x0D, Cell::Kind::Dead, u'\u00B4'},
        {true, false, {}, 0x27, Cell::Kind::Dead, u'\u00B4'},
        {false, true, {}, 0x47, Cell::Kind::Character, u'7'},
        {false, true, {kVkAltGr}, 0x47, Cell::Kind::Character, u'\u250C'},
        {false, false, {}, 0x47, Cell::Kind::NoRow, 0},
        {true, true, {}, 0x53, Cell::Kind::Character, u'.'},
        {true, false, {}, 0x58, Cell::Kind::NoRow, 0},   // F12, after Caps Lock and Num Lock
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("scan " + hex(c.scan, 2) + (c.caps ? " Caps Lock" : "") +
                     (c.num ? " Num Lock" : ""));
        const auto found = outcomes.find({c.caps, c.num, c.modifiers, 0, c.scan});
        ASSERT_NE(found, outcomes.end());
        EXPECT_EQ(found->second.kind, c.kind);
        EXPECT_EQ(found->second.ch, c.ch);
    }
}

}  // namespace
}  // namespace wendol
