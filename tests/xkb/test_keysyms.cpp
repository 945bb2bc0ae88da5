// test_keysyms.cpp - the keysym names the writer uses, read back by
// libxkbcommon: each character's keysym types that character, the silent
// keys' keysyms type nothing, and the dead keysyms are dead keys.
#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>

#include "base/error.h"
#include "base/text.h"
#include "xkb/keysyms.h"

namespace wendol::test {
namespace {

xkb_keysym_t parsed(const std::string &name)
{
    return xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS);
}

TEST(Keysyms, EveryCharacterOfThePlaneTypesItself)
{
    size_t wrong = 0;
    for (char32_t ch = 1; ch < 0x10000; ++ch) {
        if (ch >= 0xD800 && ch <= 0xDFFF)
            continue;
        const std::string name = xkb::character_keysym(ch);
        const xkb_keysym_t keysym = parsed(name);
        if ((keysym == XKB_KEY_NoSymbol || xkb_keysym_to_utf32(keysym) != ch) && ++wrong <= 10)
            ADD_FAILURE() << code_point_text(ch) << " as \"" << name << "\" types U+" << std::hex
                          << xkb_keysym_to_utf32(keysym);
    }
    EXPECT_EQ(wrong, 0u);
    // Named where XKB names them, so that the files read as keyboards do.
    EXPECT_EQ(xkb::character_keysym('!'), "exclam");
    EXPECT_EQ(xkb::character_keysym('~'), "asciitilde");
    EXPECT_EQ(xkb::character_keysym('\r'), "Return");
    EXPECT_EQ(xkb::character_keysym(0x03B1), "U03B1");
    EXPECT_EQ(xkb::character_keysym(0x1F600), "U1F600");
}

TEST(Keysyms, TheKeypadsKeysymsTypeTheirCharacter)
{
    for (char32_t ch : {U'0', U'7', U'.', U',', U'*', U'+', U'-', U'/', U'\r', U'\u2026'}) {
        const std::string name = xkb::keypad_keysym(ch);
        EXPECT_EQ(xkb_keysym_to_utf32(parsed(name)), ch) << name;
    }
    EXPECT_EQ(xkb::keypad_keysym('7'), "KP_7");
    EXPECT_EQ(xkb::keypad_keysym(0x2026), "U2026");
}

TEST(Keysyms, SilentKeysTypeNothing)
{
    for (unsigned vk = 0; vk < 256; ++vk)
        for (bool keypad : {false, true})
            if (const auto name = xkb::silent_keysym(static_cast<uint8_t>(vk), keypad)) {
                const xkb_keysym_t keysym = parsed(*name);
                EXPECT_NE(keysym, XKB_KEY_NoSymbol) << *name;
                EXPECT_EQ(xkb_keysym_to_utf32(keysym), 0u) << *name << " has text";
            }
    EXPECT_EQ(xkb::silent_keysym(0x24, true), "KP_Home");
    EXPECT_EQ(xkb::silent_keysym(0x24, false), "Home");
    EXPECT_EQ(xkb::silent_keysym(0x87, false), "F24");
    // Backspace, Tab, Return, Escape and Delete carry text: never silent.
    for (int vk : {0x08, 0x09, 0x0D, 0x1B})
        EXPECT_FALSE(xkb::silent_keysym(static_cast<uint8_t>(vk), false)) << vk;
}

TEST(Keysyms, ControlKeysKeepTheirKeysymsAndCarryTheirCharacter)
{
    EXPECT_EQ(xkb_keysym_to_utf32(parsed(*xkb::control_key_keysym(0x2E, false, false))), 0x7Fu);
    EXPECT_EQ(xkb_keysym_to_utf32(parsed(*xkb::control_key_keysym(0x1B, true, false))), 0x1Bu);
    // Shift+Tab is ISO_Left_Tab, which carries no text, as on the platform.
    EXPECT_EQ(xkb::control_key_keysym(0x09, true, false), "ISO_Left_Tab");
    EXPECT_EQ(xkb_keysym_to_utf32(parsed("ISO_Left_Tab")), 0u);
    EXPECT_EQ(xkb::control_key_keysym(0x0D, false, true), "KP_Enter");
    // The keypad's Delete is silent_keysym's KP_Delete.
    EXPECT_FALSE(xkb::control_key_keysym(0x2E, false, true));
}

TEST(Keysyms, DeadCharactersGetTheirAccentOrASpareDeadKeysym)
{
    // The fraction first: it must not take the keysym the acute comes for.
    const auto given = xkb::dead_keysyms({u'\u215F', u'\u00B4', u'\u02DC', u'~', u'\u02C7'});
    ASSERT_EQ(given.size(), 5u);
    EXPECT_EQ(given[1].keysym, "dead_acute");
    EXPECT_EQ(given[2].keysym, "dead_tilde");
    EXPECT_EQ(given[4].keysym, "dead_caron");
    for (const auto &d : given) {
        const xkb_keysym_t keysym = parsed(d.keysym);
        EXPECT_NE(keysym, XKB_KEY_NoSymbol) << d.keysym;
        EXPECT_EQ(xkb_keysym_to_utf32(keysym), 0u) << d.keysym;
        const auto same = std::count_if(given.begin(), given.end(),
                                        [&](const auto &other) { return other.keysym == d.keysym; });
        EXPECT_EQ(same, 1) << d.keysym;
    }
    EXPECT_NE(given[0].keysym, "dead_acute");
    EXPECT_NE(given[3].keysym, "dead_tilde");   // ~ after ˜ takes a spare one

    // More dead characters than XKB has dead keysyms.
    std::vector<char16_t> many;
    for (char16_t ch = 0x2460; ch < 0x2460 + 60; ++ch)
        many.push_back(ch);
    const auto error = [&]() -> std::string {
        try {
            xkb::dead_keysyms(many);
        } catch (const Error &e) {
            return e.what();
        }
        return "";
    }();
    EXPECT_NE(error.find("no dead keysym left for U+"), std::string::npos) << error;
}

}  // namespace
}  // namespace wendol::test
