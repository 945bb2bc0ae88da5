// keyman_keys.h - where a key sits for Keyman: its key identifiers are
// positions on the US keyboard ("K_Q" is the key right of Tab, whatever it
// types), each with the US virtual-key code Keyman's keyboard processor is
// given for it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "engine/keymap.h"

namespace wendol::keyman {

struct KeymanKey {
    ScanCode scan;
    const char *id = "";    // "K_Q", "K_NP7"
    uint8_t vk = 0;         // 0x51, 0x67
    bool keypad = false;    // a keypad key: typed with Num Lock on, as Keyman names it then
};

// The Keyman key at a scan code, or nothing where Keyman has no key of its
// own there (the keypad's Enter, which it does not tell from Enter; the
// function keys, which type nothing on a layout).
std::optional<KeymanKey> keyman_key(ScanCode scan);

// Every key the table knows, in scan-code order.
std::span<const KeymanKey> keyman_keys();

}  // namespace wendol::keyman
