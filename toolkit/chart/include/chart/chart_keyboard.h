// chart_keyboard.h - where the keys sit: the alphanumeric block of a 102-key
// ISO keyboard, with the two keys some keyboards add to it, and the keypad.
// Positions are in key widths from the block's top-left corner.  Keys are
// named by scan code, never by what a layout puts on them.
#pragma once

#include <string>
#include <vector>

#include "engine/keymap.h"

namespace wendol::chart {

struct KeyPlace {
    ScanCode scan;
    double x = 0, y = 0, w = 1, h = 1;
    // The ISO Enter: its upper row reaches this much further to the left
    // than its lower row; (x, w) are those of the lower row.
    double reach_left = 0;
};

struct KeyBlock {
    std::vector<KeyPlace> keys;
    double width = 0, height = 0;
};

// The keys some keyboards have beside the ISO ones, which a layout may or
// may not give a virtual key.
struct ExtraKeys {
    bool left_of_backspace = false;     // scan code 0x7D
    bool left_of_right_shift = false;   // scan code 0x73
};

// ISO, with the 102nd key left of Z and the L-shaped Enter; where the
// layout has them, the key at scan code 0x7D sits left of Backspace and the
// key at 0x73 left of the right Shift, each taking a key width from its
// neighbour.
KeyBlock alphanumeric_block(ExtraKeys extra);

// The numeric keypad, with its tall + and Enter and its wide 0.
KeyBlock keypad_block();

// The keys alphanumeric_block() narrows for the extra keys, and the extra
// keys that took the room.
struct Narrowed {
    ScanCode narrowed;
    ScanCode added;
};
std::vector<Narrowed> narrowed_keys(ExtraKeys extra);

// "sc1E", "scE038": a key's scan code as an identifier.
std::string scan_id(ScanCode scan);

}  // namespace wendol::chart
