// test_key_parse.cpp - key names as a person writes them.
#include <gtest/gtest.h>

#include "base/error.h"
#include "engine/key_parse.h"

namespace wendol {
namespace {

Key sc(uint8_t code) { return ScanCode{Prefix::None, code}; }
Key e0(uint8_t code) { return ScanCode{Prefix::E0, code}; }
Key e1(uint8_t code) { return ScanCode{Prefix::E1, code}; }
Key vk(uint8_t code) { return VirtualKey{code}; }

TEST(KeyParse, NamesGoToTheirPlaceOnTheKeyboard)
{
    const std::pair<const char *, Key> names[] = {
        {"a", sc(0x1E)},          {"A", sc(0x1E)},          {"z", sc(0x2C)},
        {"1", sc(0x02)},          {"0", sc(0x0B)},
        {"`", sc(0x29)},          {"Grave", sc(0x29)},      {"-", sc(0x0C)},
        {"=", sc(0x0D)},          {"[", sc(0x1A)},          {"]", sc(0x1B)},
        {"\\", sc(0x2B)},         {";", sc(0x27)},          {"'", sc(0x28)},
        {",", sc(0x33)},          {".", sc(0x34)},          {"/", sc(0x35)},
        {"Oem102", sc(0x56)},     {"Space", sc(0x39)},      {"Tab", sc(0x0F)},
        {"Esc", sc(0x01)},        {"Enter", sc(0x1C)},      {"Backspace", sc(0x0E)},
        {"CapsLock", sc(0x3A)},   {"capslock", sc(0x3A)},   {"NumLock", sc(0x45)},
        {"Shift", sc(0x2A)},      {"RShift", sc(0x36)},     {"Ctrl", sc(0x1D)},
        {"RCtrl", e0(0x1D)},      {"LAlt", sc(0x38)},       {"Alt", sc(0x38)},
        {"RAlt", e0(0x38)},       {"AltGr", e0(0x38)},      {"F1", sc(0x3B)},
        {"F10", sc(0x44)},        {"F11", sc(0x57)},        {"F13", sc(0x64)},
        {"F24", sc(0x76)},        {"KP_0", sc(0x52)},       {"KP_7", sc(0x47)},
        {"KP_Decimal", sc(0x53)}, {"KP_Enter", e0(0x1C)},   {"KP_Divide", e0(0x35)},
        {"KP_Multiply", sc(0x37)}, {"Home", e0(0x47)},      {"Pause", e1(0x1D)},
        {"sc:1E", sc(0x1E)},      {"sc:7d", sc(0x7D)},      {"sc:E0 38", e0(0x38)},
        {"sc:E038", e0(0x38)},    {"sc:E1 1D", e1(0x1D)},   {"vk:BB", vk(0xBB)},
        {"vk:VK_OEM_PLUS", vk(0xBB)},                       {"vk:FF", vk(0xFF)},
        {"sc:e", sc(0x0E)},       {"sc:00", sc(0x00)},      {"sc:e1_1d", e1(0x1D)},
        {"vk:b", vk(0x0B)},       {"vk:00", vk(0x00)},
    };
    for (const auto &[text, key] : names)
        EXPECT_EQ(parse_key(text), key) << text;
}

TEST(KeyParse, ChordsPressLeftToRight)
{
    EXPECT_EQ(parse_chord("AltGr+Shift+="), (Chord{e0(0x38), sc(0x2A), sc(0x0D)}));
    EXPECT_EQ(parse_chord("Ctrl+Backspace"), (Chord{sc(0x1D), sc(0x0E)}));
    EXPECT_EQ(parse_chord("Shift+sc:E0 38"), (Chord{sc(0x2A), e0(0x38)}));
    EXPECT_EQ(parse_chord("a"), (Chord{sc(0x1E)}));
}

TEST(KeyParse, WrittenNamesReadBack)
{
    for (unsigned code = 0; code < 0x100; ++code)
        for (Key key : {sc(code & 0xFF), e0(code & 0xFF), e1(code & 0xFF), vk(code & 0xFF)})
            EXPECT_EQ(parse_key(key_text(key)), key) << key_text(key);
    EXPECT_EQ(chord_text(parse_chord("AltGr+Shift+=")), "AltGr+Shift+=");
    EXPECT_EQ(key_text(sc(0x7D)), "Yen");
    EXPECT_EQ(key_text(sc(0x55)), "sc:55");
    EXPECT_EQ(key_text(e0(0x10)), "sc:E0 10");
}

// A refusal says what was expected and found, then lists the forms accepted.
void expect_refused_with_the_accepted_forms(const char *bad)
{
    SCOPED_TRACE(bad);
    try {
        parse_chord(bad);
        ADD_FAILURE() << "\"" << bad << "\" was accepted";
    } catch (const Error &e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("expected"), std::string::npos) << message;
        EXPECT_NE(message.find("found"), std::string::npos) << message;
        EXPECT_NE(message.find("AltGr"), std::string::npos) << message;   // the accepted forms
    }
}

TEST(KeyParse, UnknownNamesSayWhatIsAccepted)
{
    for (const char *bad : {"", "Hyper", "ä", "sc:", "sc:E2 38", "sc:123456", "sc:zz", "vk:100",
                            "vk:NOPE", "Shift+", "+", "Shift++a", "KP_10", "F25"}) {
        expect_refused_with_the_accepted_forms(bad);
    }
}

TEST(KeyParse, CodesAreHexBytesAndNothingElse)
{
    // Signs, a 0x the prefix already implies, a third digit, decimal, a
    // prefix with no code after it: none is a byte in hex.
    for (const char *bad : {"sc:0x1E", "sc:+1E", "sc:-1", "sc:1E0", "sc:E0 1", "sc:E0 138",
                            "sc:0E0 38", "vk:0BB", "vk:+B", "vk:-1", "vk:161", "vk:", "vk:1 ",
                            "vk:\xEF\xBC\xA2" /* fullwidth B */}) {
        expect_refused_with_the_accepted_forms(bad);
    }
}

}  // namespace
}  // namespace wendol
