// keyman_keys.cpp - set-1 scan codes to Keyman's positional key identifiers
// and the US virtual keys behind them.
#include "keyman/keyman_keys.h"

#include <algorithm>

namespace wendol::keyman {

namespace {

constexpr ScanCode sc(uint8_t code) { return {Prefix::None, code}; }
constexpr ScanCode e0(uint8_t code) { return {Prefix::E0, code}; }

constexpr KeymanKey kKeys[] = {
    {sc(0x01), "K_ESC",     0x1B},
    {sc(0x02), "K_1",       0x31}, {sc(0x03), "K_2",      0x32}, {sc(0x04), "K_3",      0x33},
    {sc(0x05), "K_4",       0x34}, {sc(0x06), "K_5",      0x35}, {sc(0x07), "K_6",      0x36},
    {sc(0x08), "K_7",       0x37}, {sc(0x09), "K_8",      0x38}, {sc(0x0A), "K_9",      0x39},
    {sc(0x0B), "K_0",       0x30},
    {sc(0x0C), "K_HYPHEN",  0xBD}, {sc(0x0D), "K_EQUAL",  0xBB},
    {sc(0x0E), "K_BKSP",    0x08}, {sc(0x0F), "K_TAB",    0x09},
    {sc(0x10), "K_Q",       0x51}, {sc(0x11), "K_W",      0x57}, {sc(0x12), "K_E",      0x45},
    {sc(0x13), "K_R",       0x52}, {sc(0x14), "K_T",      0x54}, {sc(0x15), "K_Y",      0x59},
    {sc(0x16), "K_U",       0x55}, {sc(0x17), "K_I",      0x49}, {sc(0x18), "K_O",      0x4F},
    {sc(0x19), "K_P",       0x50},
    {sc(0x1A), "K_LBRKT",   0xDB}, {sc(0x1B), "K_RBRKT",  0xDD},
    {sc(0x1C), "K_ENTER",   0x0D},
    {sc(0x1E), "K_A",       0x41}, {sc(0x1F), "K_S",      0x53}, {sc(0x20), "K_D",      0x44},
    {sc(0x21), "K_F",       0x46}, {sc(0x22), "K_G",      0x47}, {sc(0x23), "K_H",      0x48},
    {sc(0x24), "K_J",       0x4A}, {sc(0x25), "K_K",      0x4B}, {sc(0x26), "K_L",      0x4C},
    {sc(0x27), "K_COLON",   0xBA}, {sc(0x28), "K_QUOTE",  0xDE}, {sc(0x29), "K_BKQUOTE", 0xC0},
    {sc(0x2B), "K_BKSLASH", 0xDC},
    {sc(0x2C), "K_Z",       0x5A}, {sc(0x2D), "K_X",      0x58}, {sc(0x2E), "K_C",      0x43},
    {sc(0x2F), "K_V",       0x56}, {sc(0x30), "K_B",      0x42}, {sc(0x31), "K_N",      0x4E},
    {sc(0x32), "K_M",       0x4D},
    {sc(0x33), "K_COMMA",   0xBC}, {sc(0x34), "K_PERIOD", 0xBE}, {sc(0x35), "K_SLASH",  0xBF},
    {sc(0x37), "K_NPSTAR",  0x6A, true},
    {sc(0x39), "K_SPACE",   0x20},
    {sc(0x47), "K_NP7",     0x67, true}, {sc(0x48), "K_NP8", 0x68, true}, {sc(0x49), "K_NP9", 0x69, true},
    {sc(0x4A), "K_NPMINUS", 0x6D, true},
    {sc(0x4B), "K_NP4",     0x64, true}, {sc(0x4C), "K_NP5", 0x65, true}, {sc(0x4D), "K_NP6", 0x66, true},
    {sc(0x4E), "K_NPPLUS",  0x6B, true},
    {sc(0x4F), "K_NP1",     0x61, true}, {sc(0x50), "K_NP2", 0x62, true}, {sc(0x51), "K_NP3", 0x63, true},
    {sc(0x52), "K_NP0",     0x60, true}, {sc(0x53), "K_NPDOT", 0x6E, true},
    {sc(0x56), "K_oE2",     0xE2},     // the key left of Z on 102-key keyboards
    {sc(0x73), "K_?C1",     0xC1},     // the key right of / on Brazilian keyboards
    {e0(0x35), "K_NPSLASH", 0x6F, true},
};

}  // namespace

std::optional<KeymanKey> keyman_key(ScanCode scan)
{
    const auto found = std::find_if(std::begin(kKeys), std::end(kKeys),
                                    [&](const KeymanKey &k) { return k.scan == scan; });
    if (found == std::end(kKeys))
        return std::nullopt;
    return *found;
}

std::span<const KeymanKey> keyman_keys() { return kKeys; }

}  // namespace wendol::keyman
