// test_typing.cpp - the control keys, the space bar, the keypad and the
// modifier map, typed on the built Wendol.dll.
#include <gtest/gtest.h>

#include "support/typing_helpers.h"

namespace wendol::test {
namespace {

TEST(Typing, EnterHasFiveLevels)
{
    expect_typing({
        {"Enter", "CR"},
        {"Shift+Enter", "NEL"},
        {"Ctrl+Enter", "LF"},
        {"AltGr+Enter", "LINE SEPARATOR"},
        {"AltGr+Shift+Enter", "PARAGRAPH SEPARATOR"},
        {"KP_Enter", "CR"},                       // the same virtual key, extended
        {"AltGr+KP_Enter", "LINE SEPARATOR"},
        {"CapsLock Enter", "CR"},
    });
}

TEST(Typing, BackspaceTabEscAndBreak)
{
    expect_typing({
        {"Backspace", "BS"},
        {"Shift+Backspace", "BS"},
        {"Ctrl+Backspace", "DEL"},
        {"AltGr+Backspace", "nothing"},           // three columns
        {"Tab", "TAB"},
        {"sc:7C", "TAB"},                         // the second Tab scan code
        {"Ctrl+Tab", "nothing"},                  // one column
        {"Shift+Tab", "nothing"},
        {"Esc", "ESC"},
        {"Shift+Esc", "nothing"},
        {"AltGr+Esc", "nothing"},
        {"Break", "ETX"},
        {"Ctrl+Break", "ETX"},
        {"Ctrl+ScrollLock", "ETX"},               // Ctrl turns Scroll Lock into Break
        {"Pause", "nothing"},
        {"Ctrl+NumLock", "nothing"},              // Pause, and Num Lock stays off
        {"Ctrl+NumLock KP_1", "nothing"},
    });
}

TEST(Typing, SpaceBarGivesNoBreakSpacesOnAltGr)
{
    expect_typing({
        {"Space", "SPACE"},
        {"Shift+Space", "SPACE"},
        {"Ctrl+Space", "SPACE"},
        {"AltGr+Space", "NO-BREAK SPACE"},
        {"AltGr+Shift+Space", "NARROW NO-BREAK SPACE"},
        {"CapsLock AltGr+Space", "NO-BREAK SPACE"},
    });
}

TEST(Typing, KeypadDecimalSwapsWithCapsLockAndCtrl)
{
    expect_typing({
        {"NumLock KP_Decimal", ","},
        {"NumLock CapsLock KP_Decimal", "."},
        {"NumLock Ctrl+KP_Decimal", "."},
        {"NumLock CapsLock Ctrl+KP_Decimal", "."},   // with Ctrl the key's own row
        {"NumLock AltGr+KP_Decimal", "…"},
        {"NumLock CapsLock AltGr+KP_Decimal", "…"},  // and with AltGr
        {"Shift+vk:6E", "DEL"},
        {"CapsLock Shift+vk:6E", "DEL"},
        {"KP_Decimal", "nothing"},                // Num Lock off: VK_DELETE
        {"NumLock Shift+KP_Decimal", "nothing"},  // Shift gives VK_DELETE back
    });
}

TEST(Typing, KeypadDigitsFollowNumLock)
{
    expect_typing({
        {"KP_7", "nothing"},                      // VK_HOME
        {"NumLock KP_7", "7"},
        {"NumLock NumLock KP_7", "nothing"},
        {"NumLock KP_0 KP_1 KP_2 KP_3 KP_4 KP_5 KP_6 KP_7 KP_8 KP_9", "0 1 2 3 4 5 6 7 8 9"},
        {"NumLock Shift+KP_7", "nothing"},        // Shift gives VK_HOME back
        {"NumLock RShift+KP_4", "nothing"},
        {"NumLock Home", "nothing"},              // the grey keys never become digits
        {"Shift+vk:60", "Ⅹ"},
        {"Shift+vk:61", "Ⅰ"},
        {"Shift+vk:69", "Ⅸ"},
        {"NumLock Ctrl+KP_5", "nothing"},
    });
}

TEST(Typing, AltGrOnKeypadDigitsDrawsBoxes)
{
    expect_typing({
        {"NumLock AltGr+KP_7 AltGr+KP_8 AltGr+KP_9", "┌ ─ ┐"},
        {"NumLock AltGr+KP_4 AltGr+KP_5 AltGr+KP_6", "│ ┼ │"},
        {"NumLock AltGr+KP_1 AltGr+KP_2 AltGr+KP_3", "└ ─ ┘"},
        {"NumLock AltGr+KP_0", "nothing"},
        // The keypad table has four columns: AltGr+Shift reaches none of it.
        {"AltGr+Shift+vk:61", "nothing"},
        {"AltGr+Shift+vk:60", "nothing"},
        {"AltGr+Shift+vk:6E", "nothing"},
        {"NumLock AltGr+Shift+KP_1", "nothing"},
    });
}

TEST(Typing, KeypadOperators)
{
    expect_typing({
        {"KP_Divide", "/"},   {"Shift+KP_Divide", "÷"},   {"AltGr+KP_Divide", "∕"},
        {"AltGr+Shift+KP_Divide", "⁄"},                    {"Ctrl+KP_Divide", "nothing"},
        {"KP_Multiply", "*"}, {"Shift+KP_Multiply", "×"}, {"AltGr+KP_Multiply", "⋅"},
        {"AltGr+Shift+KP_Multiply", "INVISIBLE TIMES"},
        {"KP_Subtract", "-"}, {"Shift+KP_Subtract", "−"}, {"AltGr+KP_Subtract", "–"},
        {"AltGr+Shift+KP_Subtract", "—"},
        {"KP_Add", "+"},      {"Shift+KP_Add", "+"},      {"AltGr+KP_Add", "±"},
        {"AltGr+Shift+KP_Add", "∓"},
    });
}

TEST(Typing, ExtraKeys)
{
    expect_typing({
        {"sc:7D", "§"},       {"Shift+sc:7D", "!"},       {"AltGr+sc:7D", "nothing"},
        {"sc:73", "/"},       {"Shift+sc:73", "?"},       {"Ctrl+sc:73", "nothing"},
        {"AltGr+sc:73", "°"}, {"AltGr+Shift+sc:73", "nothing"},
        {"sc:7E", "."},       {"Shift+sc:7E", ","},
        {"sc:5F", "`"},       {"Shift+sc:5F", "~"},       {"AltGr+sc:5F", "nothing"},
        {"sc:80", "nothing"},                             // beyond the base map
        {"sc:E07F", "nothing"},                            // not in the E0 list
    });
}

TEST(ModifierMap, BitsSelectColumns)
{
    struct Selection {
        const char *keys;
        unsigned bits;
        std::optional<unsigned> column;
    };
    const Selection selections[] = {
        {"=", 0, 0},
        {"Shift+=", 1, 1},
        {"RShift+=", 1, 1},
        {"Ctrl+=", 2, 2},
        {"RCtrl+=", 2, 2},
        {"AltGr+=", 8, 3},
        {"sc:E038+=", 8, 3},                      // the right Alt key by its scan code
        {"RAlt+Shift+=", 9, 4},
        {"Shift+Ctrl+=", 3, std::nullopt},
        {"LAlt+=", 0, 0},                         // Alt alone is cleared: a system character
        {"Shift+LAlt+=", 1, 1},
        {"LCtrl+LAlt+=", 6, std::nullopt},        // Ctrl+Alt is not AltGr here
        {"Shift+LCtrl+LAlt+=", 7, std::nullopt},
        {"RAlt+RCtrl+=", 10, std::nullopt},       // beyond wMaxModBits
        {"AltGr+LAlt+=", 8, 3},                   // Alt beside the Kana bit is alone too
        {"CapsLock =", 0, 0},                     // Caps Lock is no modifier
    };
    for (const Selection &s : selections) {
        const Press p = last_press(s.keys);
        EXPECT_EQ(p.cell.bits, s.bits) << s.keys;
        EXPECT_EQ(p.cell.column, s.column) << s.keys;
    }
}

TEST(ModifierMap, OnlyAltGrReachesTheThirdAndFourthColumns)
{
    expect_typing({
        {"AltGr+e", "ě"},
        {"AltGr+Shift+e", "Ě"},
        {"LCtrl+LAlt+e", "nothing"},
        {"RCtrl+LAlt+e", "nothing"},
        {"AltGr+Ctrl+e", "nothing"},              // SHFT_INVALID: not even the platform's ^E
        {"Shift+Ctrl+2", "nothing"},
        {"Ctrl+2", "NUL"},
        {"Alt+e", "e"},                           // Alt is cleared, the character a system one
        {"LAlt+Shift+e", "E"},
        {"CapsLock .", "."},
        {"CapsLock =", "="},
        {"RShift+a", "A"},
        {"RCtrl+2", "NUL"},
        {"AltGr", "nothing"},
        {"Shift", "nothing"},
    });
}

TEST(Typing, ContinuationRowsAreNoKey)
{
    expect_typing({
        {"vk:FF", "nothing"},
        {"Shift+vk:FF", "nothing"},
        {"AltGr+vk:FF", "nothing"},
        {"CapsLock vk:FF", "nothing"},
    });
    EXPECT_FALSE(keymap().find_row(kContinuationVk));
}

}  // namespace
}  // namespace wendol::test
