// linux_keys.h - where a key of the keyboard sits on Linux: the input key
// code the kernel gives a set-1 scan code (and its E0 and E1 forms), and the
// name XKB gives that key code (XKB key code = input key code + 8).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/keymap.h"

namespace wendol::xkb {

struct LinuxKey {
    uint16_t code = 0;        // the input key code (KEY_*)
    const char *name = "";    // XKB's name for it: "AE01", "RALT", "I129"

    uint16_t xkb_code() const { return static_cast<uint16_t>(code + 8); }
    friend bool operator==(const LinuxKey &a, const LinuxKey &b) { return a.code == b.code; }
};

// The Linux key of a scan code, or nothing where the kernel gives that scan
// code no key of its own (or only one another scan code has, such as SysRq,
// which the kernel reports as the Print Screen key).
std::optional<LinuxKey> linux_key(ScanCode scan);

// "sc:1E", "sc:E0 38": how the toolkit writes a scan code.
std::string scan_code_text(ScanCode scan);

}  // namespace wendol::xkb
