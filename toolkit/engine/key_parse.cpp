// key_parse.cpp - key names to keys and back.
#include "engine/key_parse.h"

#include <cctype>
#include <cstdio>

#include "base/error.h"
#include "base/numbers.h"
#include "tables/vk_names.h"

namespace wendol {

namespace {

struct NamedKey {
    const char *name;   // the first name given for a scan code is the one written back
    ScanCode scan;
};

constexpr ScanCode plain(uint8_t code) { return {Prefix::None, code}; }
constexpr ScanCode e0(uint8_t code) { return {Prefix::E0, code}; }
constexpr ScanCode e1(uint8_t code) { return {Prefix::E1, code}; }

// The PC/AT keyboard, scan code set 1.
constexpr NamedKey kNamedKeys[] = {
    {"Esc", plain(0x01)}, {"Escape", plain(0x01)},
    {"1", plain(0x02)}, {"2", plain(0x03)}, {"3", plain(0x04)}, {"4", plain(0x05)},
    {"5", plain(0x06)}, {"6", plain(0x07)}, {"7", plain(0x08)}, {"8", plain(0x09)},
    {"9", plain(0x0A)}, {"0", plain(0x0B)},
    {"-", plain(0x0C)}, {"Minus", plain(0x0C)},
    {"=", plain(0x0D)}, {"Equal", plain(0x0D)}, {"Equals", plain(0x0D)},
    {"Backspace", plain(0x0E)},
    {"Tab", plain(0x0F)},
    {"q", plain(0x10)}, {"w", plain(0x11)}, {"e", plain(0x12)}, {"r", plain(0x13)},
    {"t", plain(0x14)}, {"y", plain(0x15)}, {"u", plain(0x16)}, {"i", plain(0x17)},
    {"o", plain(0x18)}, {"p", plain(0x19)},
    {"[", plain(0x1A)}, {"LBracket", plain(0x1A)},
    {"]", plain(0x1B)}, {"RBracket", plain(0x1B)},
    {"Enter", plain(0x1C)}, {"Return", plain(0x1C)},
    {"Ctrl", plain(0x1D)}, {"LCtrl", plain(0x1D)}, {"Control", plain(0x1D)},
    {"a", plain(0x1E)}, {"s", plain(0x1F)}, {"d", plain(0x20)}, {"f", plain(0x21)},
    {"g", plain(0x22)}, {"h", plain(0x23)}, {"j", plain(0x24)}, {"k", plain(0x25)},
    {"l", plain(0x26)},
    {";", plain(0x27)}, {"Semicolon", plain(0x27)},
    {"'", plain(0x28)}, {"Apostrophe", plain(0x28)}, {"Quote", plain(0x28)},
    {"`", plain(0x29)}, {"Grave", plain(0x29)},
    {"Shift", plain(0x2A)}, {"LShift", plain(0x2A)},
    {"\\", plain(0x2B)}, {"Backslash", plain(0x2B)},
    {"z", plain(0x2C)}, {"x", plain(0x2D)}, {"c", plain(0x2E)}, {"v", plain(0x2F)},
    {"b", plain(0x30)}, {"n", plain(0x31)}, {"m", plain(0x32)},
    {",", plain(0x33)}, {"Comma", plain(0x33)},
    {".", plain(0x34)}, {"Period", plain(0x34)},
    {"/", plain(0x35)}, {"Slash", plain(0x35)},
    {"RShift", plain(0x36)},
    {"KP_Multiply", plain(0x37)},
    {"Alt", plain(0x38)}, {"LAlt", plain(0x38)},
    {"Space", plain(0x39)},
    {"CapsLock", plain(0x3A)}, {"Caps", plain(0x3A)},
    {"F1", plain(0x3B)}, {"F2", plain(0x3C)}, {"F3", plain(0x3D)}, {"F4", plain(0x3E)},
    {"F5", plain(0x3F)}, {"F6", plain(0x40)}, {"F7", plain(0x41)}, {"F8", plain(0x42)},
    {"F9", plain(0x43)}, {"F10", plain(0x44)},
    {"NumLock", plain(0x45)},
    {"ScrollLock", plain(0x46)},
    {"KP_7", plain(0x47)}, {"KP_8", plain(0x48)}, {"KP_9", plain(0x49)},
    {"KP_Subtract", plain(0x4A)},
    {"KP_4", plain(0x4B)}, {"KP_5", plain(0x4C)}, {"KP_6", plain(0x4D)},
    {"KP_Add", plain(0x4E)},
    {"KP_1", plain(0x4F)}, {"KP_2", plain(0x50)}, {"KP_3", plain(0x51)},
    {"KP_0", plain(0x52)}, {"KP_Decimal", plain(0x53)},
    {"SysRq", plain(0x54)},
    {"Oem102", plain(0x56)},
    {"F11", plain(0x57)}, {"F12", plain(0x58)},
    {"F13", plain(0x64)}, {"F14", plain(0x65)}, {"F15", plain(0x66)}, {"F16", plain(0x67)},
    {"F17", plain(0x68)}, {"F18", plain(0x69)}, {"F19", plain(0x6A)}, {"F20", plain(0x6B)},
    {"F21", plain(0x6C)}, {"F22", plain(0x6D)}, {"F23", plain(0x6E)},
    {"AbntC1", plain(0x73)},
    {"F24", plain(0x76)},
    {"Yen", plain(0x7D)},
    {"AbntC2", plain(0x7E)},
    {"KP_Enter", e0(0x1C)},
    {"RCtrl", e0(0x1D)},
    {"KP_Divide", e0(0x35)},
    {"PrintScreen", e0(0x37)},
    {"AltGr", e0(0x38)}, {"RAlt", e0(0x38)},
    {"Break", e0(0x46)},
    {"Home", e0(0x47)}, {"Up", e0(0x48)}, {"PageUp", e0(0x49)},
    {"Left", e0(0x4B)}, {"Right", e0(0x4D)},
    {"End", e0(0x4F)}, {"Down", e0(0x50)}, {"PageDown", e0(0x51)},
    {"Insert", e0(0x52)}, {"Delete", e0(0x53)},
    {"Win", e0(0x5B)}, {"LWin", e0(0x5B)}, {"RWin", e0(0x5C)}, {"Apps", e0(0x5D)},
    {"Pause", e1(0x1D)},
};

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool is_hex(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// One byte in one or two hex digits, as sc: and vk: write it: "1E", "b".
std::optional<uint8_t> hex_byte(std::string_view text)
{
    if (text.size() > 2)
        return std::nullopt;
    const std::optional<uint64_t> value = parse_number(text, NumberForm::Hex, 0xFF);
    if (!value)
        return std::nullopt;
    return static_cast<uint8_t>(*value);
}

// What was expected and found, then every accepted form.
[[noreturn]] void unknown(std::string_view text, const std::string &why = "")
{
    std::string quoted = "\"";
    quoted.append(text).append("\"");
    const std::string reason =
        why.empty() ? std::string() : std::string(" (").append(why).append(")");
    throw Error("key " + quoted + reason +
                ": expected a key name, a scan code (sc:1E) or a virtual key (vk:BB), found " +
                quoted + "\naccepted forms:\n" + accepted_key_forms());
}

// "1E", "E0 38", "E038", "E0_38", "E1 1D".
ScanCode parse_scan_code(std::string_view whole, std::string_view text)
{
    std::string digits;
    for (char c : text)
        if (c != ' ' && c != '_')
            digits.push_back(c);
    if (digits.size() == 4) {
        const std::optional<uint8_t> prefix = hex_byte(digits.substr(0, 2));
        const std::optional<uint8_t> code = hex_byte(digits.substr(2));
        if (prefix && code) {
            if (*prefix == 0xE0)
                return e0(*code);
            if (*prefix == 0xE1)
                return e1(*code);
            unknown(whole, "the only prefixes are E0 and E1");
        }
    } else if (const std::optional<uint8_t> code = hex_byte(digits)) {
        return plain(*code);
    }
    unknown(whole, "a scan code is one byte in hex, after E0 or E1 if it has a prefix");
}

std::string two_hex(uint8_t value)
{
    char buffer[4];
    std::snprintf(buffer, sizeof buffer, "%02X", value);
    return buffer;
}

}  // namespace

std::string accepted_key_forms()
{
    return "  names: Shift LShift RShift Ctrl LCtrl RCtrl Alt LAlt RAlt AltGr Win LWin RWin Apps\n"
           "         CapsLock NumLock ScrollLock Space Tab Esc Enter Backspace F1..F24\n"
           "         Insert Delete Home End PageUp PageDown Up Down Left Right\n"
           "         PrintScreen Pause Break SysRq Oem102 AbntC1 AbntC2 Yen (any case)\n"
           "  keypad: KP_0..KP_9 KP_Decimal KP_Enter KP_Divide KP_Multiply KP_Subtract KP_Add\n"
           "  letters and digits: a..z 0..9 (keys, not characters: Shift+a for a capital)\n"
           "  punctuation keys: ` - = [ ] \\ ; ' , . / or Grave Minus Equal LBracket RBracket\n"
           "         Backslash Semicolon Apostrophe Comma Period Slash\n"
           "  scan codes: sc:1E  sc:E0 38  sc:E1 1D\n"
           "  virtual keys: vk:BB  vk:VK_OEM_PLUS\n"
           "  chords: keys joined with +, pressed in order: Shift+a  AltGr+Shift+=  Ctrl+Backspace";
}

Key parse_key(std::string_view text)
{
    if (text.empty())
        unknown(text, "empty");
    std::string low = lower(text);
    if (low.rfind("sc:", 0) == 0)
        return parse_scan_code(text, text.substr(3));
    if (low.rfind("vk:", 0) == 0) {
        std::string_view digits = text.substr(3);
        if (const std::optional<uint8_t> code = hex_byte(digits))
            return VirtualKey{*code};
        // Anything else all in hex digits is a number too long for a byte.
        if (auto vk = vk_from_name(digits); vk && !is_hex(digits))
            return VirtualKey{*vk};
        unknown(text, "a virtual key is one byte in hex, or its name such as VK_OEM_PLUS");
    }
    for (const NamedKey &named : kNamedKeys)
        if (lower(named.name) == low)
            return named.scan;
    unknown(text);
}

Chord parse_chord(std::string_view text)
{
    if (text.empty())
        unknown(text, "empty");
    if (text.back() == '+')
        unknown(text, "+ is not a key of its own: write Shift+= or KP_Add");
    Chord chord;
    size_t start = 0;
    while (true) {
        size_t plus = text.find('+', start);
        std::string_view part = text.substr(start, plus == std::string_view::npos
                                                       ? std::string_view::npos : plus - start);
        if (part.empty())
            unknown(text, "an empty key between two +");
        chord.push_back(parse_key(part));
        if (plus == std::string_view::npos)
            break;
        start = plus + 1;
    }
    return chord;
}

std::string key_text(const Key &key)
{
    if (const auto *vk = std::get_if<VirtualKey>(&key))
        return "vk:" + two_hex(vk->code);
    const ScanCode scan = std::get<ScanCode>(key);
    for (const NamedKey &named : kNamedKeys)
        if (named.scan == scan)
            return named.name;
    switch (scan.prefix) {
    case Prefix::E0: return "sc:E0 " + two_hex(scan.code);
    case Prefix::E1: return "sc:E1 " + two_hex(scan.code);
    default: return "sc:" + two_hex(scan.code);
    }
}

std::string chord_text(const Chord &chord)
{
    std::string name;
    for (const Key &key : chord) {
        if (!name.empty())
            name += '+';
        name += key_text(key);
    }
    return name;
}

}  // namespace wendol
