// keysyms.cpp - characters, silent keys and dead characters as keysym names.
#include "xkb/keysyms.h"

#include <algorithm>
#include <cstdio>

#include "base/error.h"

namespace wendol::xkb {

namespace {

// The ASCII punctuation, by the names XKB gives its keysyms.
constexpr const char *kPunctuation[] = {
    "space",      "exclam",      "quotedbl",    "numbersign", "dollar",     "percent",
    "ampersand",  "apostrophe",  "parenleft",   "parenright", "asterisk",   "plus",
    "comma",      "minus",       "period",      "slash",      // 0x20 .. 0x2F
};
constexpr const char *kPunctuation3A[] = {
    "colon", "semicolon", "less", "equal", "greater", "question", "at",   // 0x3A .. 0x40
};
constexpr const char *kPunctuation5B[] = {
    "bracketleft", "backslash", "bracketright", "asciicircum", "underscore", "grave",  // 0x5B .. 0x60
};
constexpr const char *kPunctuation7B[] = {
    "braceleft", "bar", "braceright", "asciitilde",   // 0x7B .. 0x7E
};

std::string hex_name(const char *format, unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

struct VkKeysym {
    uint8_t vk;
    const char *keysym;
};

// Keys that type nothing: modifiers, locks, function, navigation and media
// keys.  Escape, Tab, Return, BackSpace and Delete are not here: their
// keysyms carry a control character as text.
constexpr VkKeysym kSilent[] = {
    {0xA0, "Shift_L"},   {0xA1, "Shift_R"},     {0x10, "Shift_L"},   {0xA2, "Control_L"},
    {0xA3, "Control_R"}, {0x11, "Control_L"},   {0xA4, "Alt_L"},     {0xA5, "Alt_R"},
    {0x12, "Alt_L"},     {0x14, "Caps_Lock"},   {0x90, "Num_Lock"},  {0x91, "Scroll_Lock"},
    {0x5B, "Super_L"},   {0x5C, "Super_R"},     {0x5D, "Menu"},      {0x2C, "Print"},
    {0x13, "Pause"},     {0x03, "Cancel"},      {0x2D, "Insert"},    {0x24, "Home"},
    {0x23, "End"},       {0x21, "Prior"},       {0x22, "Next"},      {0x25, "Left"},
    {0x26, "Up"},        {0x27, "Right"},       {0x28, "Down"},      {0x2F, "Help"},
    {0x29, "Select"},    {0x2B, "Execute"},     {0xAD, "XF86AudioMute"},
    {0xAE, "XF86AudioLowerVolume"}, {0xAF, "XF86AudioRaiseVolume"},
    {0xB0, "XF86AudioNext"}, {0xB1, "XF86AudioPrev"}, {0xB2, "XF86AudioStop"},
    {0xB3, "XF86AudioPlay"}, {0xB4, "XF86Mail"},  {0xB5, "XF86AudioMedia"},
    {0xB6, "XF86MyComputer"}, {0xB7, "XF86Calculator"}, {0xAC, "XF86HomePage"},
    {0xAA, "XF86Search"}, {0xAB, "XF86Favorites"}, {0xA8, "XF86Refresh"},
    {0xA9, "XF86Stop"},  {0xA7, "XF86Forward"}, {0xA6, "XF86Back"},  {0x5F, "XF86Sleep"},
};

// The keypad's navigation keys, as Num Lock off leaves them.
constexpr VkKeysym kKeypadSilent[] = {
    {0x2D, "KP_Insert"}, {0x2E, "KP_Delete"}, {0x24, "KP_Home"}, {0x23, "KP_End"},
    {0x21, "KP_Prior"},  {0x22, "KP_Next"},   {0x25, "KP_Left"}, {0x26, "KP_Up"},
    {0x27, "KP_Right"},  {0x28, "KP_Down"},   {0x0C, "KP_Begin"},
};

struct DeadName {
    char16_t dead;
    const char *keysym;
};

// The spacing accents and the dead keysyms that mean them.
constexpr DeadName kAccents[] = {
    {0x00B4, "dead_acute"},     {0x0027, "dead_acute"},       {0x0060, "dead_grave"},
    {0x005E, "dead_circumflex"}, {0x02C6, "dead_circumflex"}, {0x007E, "dead_tilde"},
    {0x02DC, "dead_tilde"},     {0x00AF, "dead_macron"},      {0x02C9, "dead_macron"},
    {0x02D8, "dead_breve"},     {0x02D9, "dead_abovedot"},    {0x00A8, "dead_diaeresis"},
    {0x0022, "dead_diaeresis"}, {0x00B0, "dead_abovering"},   {0x02DA, "dead_abovering"},
    {0x02DD, "dead_doubleacute"}, {0x02C7, "dead_caron"},     {0x00B8, "dead_cedilla"},
    {0x02DB, "dead_ogonek"},    {0x037A, "dead_iota"},        {0x0384, "dead_acute"},
    {0x002C, "dead_cedilla"},   {0x00A4, "dead_currency"},    {0x02CD, "dead_lowline"},
    {0x005F, "dead_lowline"},   {0x02C8, "dead_aboveverticalline"},
};

// Dead keysyms for accents XKB has no keysym of their own for, in the order
// they are handed out: the ones no accent above claims first.
constexpr const char *kSpare[] = {
    "dead_hook", "dead_horn", "dead_stroke", "dead_belowdot", "dead_abovecomma",
    "dead_abovereversedcomma", "dead_doublegrave", "dead_belowring", "dead_belowmacron",
    "dead_belowcircumflex", "dead_belowtilde", "dead_belowbreve", "dead_belowdiaeresis",
    "dead_invertedbreve", "dead_belowcomma", "dead_belowverticalline",
    "dead_longsolidusoverlay", "dead_greek", "dead_semivoiced_sound", "dead_voiced_sound",
    "dead_acute", "dead_grave", "dead_circumflex", "dead_tilde", "dead_macron", "dead_breve",
    "dead_abovedot", "dead_diaeresis", "dead_abovering", "dead_doubleacute", "dead_caron",
    "dead_cedilla", "dead_ogonek", "dead_iota", "dead_currency", "dead_lowline",
    "dead_aboveverticalline",
};

}  // namespace

std::string character_keysym(char32_t ch)
{
    if ((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'))
        return std::string(1, static_cast<char>(ch));
    if (ch >= 0x20 && ch <= 0x2F)
        return kPunctuation[ch - 0x20];
    if (ch >= 0x3A && ch <= 0x40)
        return kPunctuation3A[ch - 0x3A];
    if (ch >= 0x5B && ch <= 0x60)
        return kPunctuation5B[ch - 0x5B];
    if (ch >= 0x7B && ch <= 0x7E)
        return kPunctuation7B[ch - 0x7B];
    switch (ch) {
    case 0x08: return "BackSpace";
    case 0x09: return "Tab";
    case 0x0A: return "Linefeed";
    case 0x0D: return "Return";
    case 0x1B: return "Escape";
    case 0x7F: return "Delete";
    default: break;
    }
    // The other C0 and the C1 controls have no Unicode keysym name; the
    // number is the same Unicode keysym.
    if (ch < 0x20 || (ch >= 0x80 && ch < 0xA0))
        return hex_name("0x%08x", 0x01000000u + static_cast<unsigned>(ch));
    return hex_name("U%04X", static_cast<unsigned>(ch));
}

std::string keypad_keysym(char32_t ch)
{
    if (ch >= '0' && ch <= '9')
        return "KP_" + std::string(1, static_cast<char>(ch));
    switch (ch) {
    case '.': return "KP_Decimal";
    case ',': return "KP_Separator";
    case '*': return "KP_Multiply";
    case '+': return "KP_Add";
    case '-': return "KP_Subtract";
    case '/': return "KP_Divide";
    case '\r': return "KP_Enter";
    default: return character_keysym(ch);
    }
}

std::optional<std::string> silent_keysym(uint8_t vk, bool keypad)
{
    if (keypad)
        for (const VkKeysym &k : kKeypadSilent)
            if (k.vk == vk)
                return k.keysym;
    if (vk >= 0x70 && vk <= 0x87) {
        std::string function_key = "F";
        function_key += std::to_string(vk - 0x70 + 1);
        return function_key;
    }
    for (const VkKeysym &k : kSilent)
        if (k.vk == vk)
            return k.keysym;
    return std::nullopt;
}

std::optional<std::string> control_key_keysym(uint8_t vk, bool shift, bool keypad)
{
    switch (vk) {
    case 0x08: return "BackSpace";
    case 0x09: return shift ? "ISO_Left_Tab" : "Tab";
    case 0x0D: return keypad ? "KP_Enter" : "Return";
    case 0x1B: return "Escape";
    case 0x2E: return keypad ? std::nullopt : std::optional<std::string>("Delete");
    default: return std::nullopt;
    }
}

std::vector<DeadKeysym> dead_keysyms(const std::vector<char16_t> &dead_characters)
{
    std::vector<DeadKeysym> given;
    const auto taken = [&](const std::string &keysym) {
        return std::any_of(given.begin(), given.end(),
                           [&](const DeadKeysym &d) { return d.keysym == keysym; });
    };
    // Keysyms the layout's own accents mean are kept for them, so that an
    // accent later in the list does not find its keysym spent on another.
    std::vector<std::string> claimed;
    for (char16_t dead : dead_characters)
        for (const DeadName &a : kAccents)
            if (a.dead == dead)
                claimed.push_back(a.keysym);
    const auto claimed_by_layout = [&](const std::string &keysym) {
        return std::find(claimed.begin(), claimed.end(), keysym) != claimed.end();
    };

    std::vector<char16_t> waiting;   // accents with no keysym of their own
    for (char16_t dead : dead_characters) {
        const DeadName *meaning = std::find_if(std::begin(kAccents), std::end(kAccents),
                                               [&](const DeadName &a) { return a.dead == dead; });
        if (meaning != std::end(kAccents) && !taken(meaning->keysym))
            given.push_back({dead, meaning->keysym});
        else
            waiting.push_back(dead);
    }
    for (char16_t dead : waiting) {
        const char *const *spare = std::find_if(std::begin(kSpare), std::end(kSpare), [&](const char *k) {
            return !taken(k) && !claimed_by_layout(k);
        });
        if (spare == std::end(kSpare))
            fail("dead keysyms for the layout's " + std::to_string(dead_characters.size()) +
                     " dead characters",
                 "at most " + std::to_string(std::size(kSpare)) + " dead keysyms to give",
                 "no dead keysym left for U+" + hex(dead, 4).substr(2));
        given.push_back({dead, *spare});
    }
    // In the order the dead characters were given.
    std::vector<DeadKeysym> ordered;
    for (char16_t dead : dead_characters)
        for (const DeadKeysym &d : given)
            if (d.dead == dead)
                ordered.push_back(d);
    return ordered;
}

}  // namespace wendol::xkb
