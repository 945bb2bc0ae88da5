// linux_keys.cpp - set-1 scan codes to Linux input key codes, as the kernel's
// AT keyboard driver reports them through the translated set.
#include "xkb/linux_keys.h"

#include <array>

#include "base/error.h"

namespace wendol::xkb {

namespace {

struct Entry {
    uint8_t scan;
    uint16_t code;
    const char *name;
};

// Scan codes without a prefix.  0x01-0x53 and 0x56-0x58 are the input key
// codes themselves; the rest are the Japanese, Brazilian and F13-F24 keys.
constexpr Entry kPlain[] = {
    {0x01, 1, "ESC"},   {0x02, 2, "AE01"},  {0x03, 3, "AE02"},  {0x04, 4, "AE03"},
    {0x05, 5, "AE04"},  {0x06, 6, "AE05"},  {0x07, 7, "AE06"},  {0x08, 8, "AE07"},
    {0x09, 9, "AE08"},  {0x0A, 10, "AE09"}, {0x0B, 11, "AE10"}, {0x0C, 12, "AE11"},
    {0x0D, 13, "AE12"}, {0x0E, 14, "BKSP"}, {0x0F, 15, "TAB"},  {0x10, 16, "AD01"},
    {0x11, 17, "AD02"}, {0x12, 18, "AD03"}, {0x13, 19, "AD04"}, {0x14, 20, "AD05"},
    {0x15, 21, "AD06"}, {0x16, 22, "AD07"}, {0x17, 23, "AD08"}, {0x18, 24, "AD09"},
    {0x19, 25, "AD10"}, {0x1A, 26, "AD11"}, {0x1B, 27, "AD12"}, {0x1C, 28, "RTRN"},
    {0x1D, 29, "LCTL"}, {0x1E, 30, "AC01"}, {0x1F, 31, "AC02"}, {0x20, 32, "AC03"},
    {0x21, 33, "AC04"}, {0x22, 34, "AC05"}, {0x23, 35, "AC06"}, {0x24, 36, "AC07"},
    {0x25, 37, "AC08"}, {0x26, 38, "AC09"}, {0x27, 39, "AC10"}, {0x28, 40, "AC11"},
    {0x29, 41, "TLDE"}, {0x2A, 42, "LFSH"}, {0x2B, 43, "BKSL"}, {0x2C, 44, "AB01"},
    {0x2D, 45, "AB02"}, {0x2E, 46, "AB03"}, {0x2F, 47, "AB04"}, {0x30, 48, "AB05"},
    {0x31, 49, "AB06"}, {0x32, 50, "AB07"}, {0x33, 51, "AB08"}, {0x34, 52, "AB09"},
    {0x35, 53, "AB10"}, {0x36, 54, "RTSH"}, {0x37, 55, "KPMU"}, {0x38, 56, "LALT"},
    {0x39, 57, "SPCE"}, {0x3A, 58, "CAPS"}, {0x3B, 59, "FK01"}, {0x3C, 60, "FK02"},
    {0x3D, 61, "FK03"}, {0x3E, 62, "FK04"}, {0x3F, 63, "FK05"}, {0x40, 64, "FK06"},
    {0x41, 65, "FK07"}, {0x42, 66, "FK08"}, {0x43, 67, "FK09"}, {0x44, 68, "FK10"},
    {0x45, 69, "NMLK"}, {0x46, 70, "SCLK"}, {0x47, 71, "KP7"},  {0x48, 72, "KP8"},
    {0x49, 73, "KP9"},  {0x4A, 74, "KPSU"}, {0x4B, 75, "KP4"},  {0x4C, 76, "KP5"},
    {0x4D, 77, "KP6"},  {0x4E, 78, "KPAD"}, {0x4F, 79, "KP1"},  {0x50, 80, "KP2"},
    {0x51, 81, "KP3"},  {0x52, 82, "KP0"},  {0x53, 83, "KPDL"}, {0x56, 86, "LSGT"},
    {0x57, 87, "FK11"}, {0x58, 88, "FK12"}, {0x59, 117, "KPEQ"},
    {0x64, 183, "FK13"}, {0x65, 184, "FK14"}, {0x66, 185, "FK15"}, {0x67, 186, "FK16"},
    {0x68, 187, "FK17"}, {0x69, 188, "FK18"}, {0x6A, 189, "FK19"}, {0x6B, 190, "FK20"},
    {0x6C, 191, "FK21"}, {0x6D, 192, "FK22"}, {0x6E, 193, "FK23"}, {0x76, 194, "FK24"},
    {0x70, 93, "HKTG"},  {0x73, 89, "AB11"},  {0x79, 92, "HENK"},  {0x7B, 94, "MUHE"},
    {0x7D, 124, "AE13"}, {0x7E, 121, "I129"},
};

// Scan codes after E0: the grey keys, the right-hand modifiers and the
// keys of multimedia keyboards.
constexpr Entry kE0[] = {
    {0x10, 165, "I173"}, {0x19, 163, "I171"}, {0x1C, 96, "KPEN"},  {0x1D, 97, "RCTL"},
    {0x20, 113, "MUTE"}, {0x21, 140, "I148"}, {0x22, 164, "I172"}, {0x24, 166, "I174"},
    {0x2E, 114, "VOL-"}, {0x30, 115, "VOL+"}, {0x32, 172, "I180"}, {0x35, 98, "KPDV"},
    {0x37, 99, "PRSC"},  {0x38, 100, "RALT"}, {0x47, 102, "HOME"}, {0x48, 103, "UP"},
    {0x49, 104, "PGUP"}, {0x4B, 105, "LEFT"}, {0x4D, 106, "RGHT"}, {0x4F, 107, "END"},
    {0x50, 108, "DOWN"}, {0x51, 109, "PGDN"}, {0x52, 110, "INS"},  {0x53, 111, "DELE"},
    {0x5B, 125, "LWIN"}, {0x5C, 126, "RWIN"}, {0x5D, 127, "COMP"}, {0x5E, 116, "POWR"},
    {0x5F, 142, "I150"}, {0x63, 143, "I151"}, {0x65, 217, "I225"}, {0x66, 156, "I164"},
    {0x67, 173, "I181"}, {0x68, 128, "I136"}, {0x69, 159, "I167"}, {0x6A, 158, "I166"},
    {0x6B, 157, "I165"}, {0x6C, 155, "I163"}, {0x6D, 226, "I234"},
};

// After E1 only the Pause key.
constexpr Entry kE1[] = {
    {0x1D, 119, "PAUS"},
};

template <size_t N>
std::optional<LinuxKey> find(const Entry (&entries)[N], uint8_t scan)
{
    for (const Entry &e : entries)
        if (e.scan == scan)
            return LinuxKey{e.code, e.name};
    return std::nullopt;
}

}  // namespace

std::optional<LinuxKey> linux_key(ScanCode scan)
{
    switch (scan.prefix) {
    case Prefix::None: return find(kPlain, scan.code);
    case Prefix::E0: return find(kE0, scan.code);
    case Prefix::E1: return find(kE1, scan.code);
    }
    return std::nullopt;
}

std::string scan_code_text(ScanCode scan)
{
    const char *prefix = scan.prefix == Prefix::E0 ? "E0 " : scan.prefix == Prefix::E1 ? "E1 " : "";
    return "sc:" + std::string(prefix) + hex(scan.code, 2).substr(2);
}

}  // namespace wendol::xkb
