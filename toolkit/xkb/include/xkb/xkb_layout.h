// xkb_layout.h - the layout as XKB will hold it, worked out by typing on the
// module's tables: for every key the kernel has a code for, what the engine
// types under each of the sixteen states of Shift, AltGr (the right Alt
// key), Caps Lock and Num Lock, as the keysym that types the same; and the
// dead keysym each dead character is given.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/keymap.h"
#include "xkb/keysyms.h"
#include "xkb/linux_keys.h"

namespace wendol::xkb {

// One of the sixteen states a key is read under, numbered as XKB's type
// maps list them: bit 0 Shift, bit 1 AltGr, bit 2 Caps Lock, bit 3 Num Lock.
struct KeyState {
    bool shift = false, altgr = false, caps_lock = false, num_lock = false;

    static KeyState from_index(unsigned index);
    unsigned index() const;
    friend bool operator==(const KeyState &, const KeyState &) = default;
};
constexpr unsigned kKeyStates = 16;

// The keys that make the states, pressed as a typist presses them.
constexpr ScanCode kShiftKey{Prefix::None, 0x2A};
constexpr ScanCode kAltGrKey{Prefix::E0, 0x38};
constexpr ScanCode kCapsLockKey{Prefix::None, 0x3A};
constexpr ScanCode kNumLockKey{Prefix::None, 0x45};
constexpr ScanCode kCtrlKey{Prefix::None, 0x1D};

// A key's keysym in one state and the text the engine typed with it.
struct StateKeysym {
    std::string keysym;          // "" for NoSymbol
    std::u16string text;         // what the engine delivered on a keyboard with nothing pending
    bool dead = false;           // a dead key: `text` is empty, `dead_character` pending
    char16_t dead_character = 0;
};

struct XkbKey {
    ScanCode scan;
    LinuxKey linux;
    std::array<StateKeysym, kKeyStates> states;
    // The distinct keysyms in the order the states first reach them, and
    // the level (from 0) each state selects.
    std::vector<std::string> levels;
    std::array<uint8_t, kKeyStates> level_of{};

    // The name of the key type: "ONE_LEVEL" for a key with one keysym and
    // no text, else the layout's name upper-cased, "_" and each state's
    // level as a digit (0-9, A-F): "TARVENA_0101...".
    std::string type_name(std::string_view layout_name) const;
    bool one_level() const;
};

// What the module does that the XKB keymap and Compose file cannot carry.
struct Unmapped {
    enum class Kind : uint8_t {
        NoLinuxKey,   // a key that types, without a Linux key code of its own
        Broken,       // the tables cannot answer the key in `states`: left out there
        Ligature,     // the key types `text`, several characters, with one press
        ShiftLock,    // KLLF_SHIFTLOCK: Shift releases Caps Lock
        KanaLock,     // KANALOK rows: what they give under the Kana lock
        DeadChain,    // the dead key `text` starts `count` chains of dead keys too long to write
    };
    Kind kind = Kind::NoLinuxKey;
    std::optional<ScanCode> scan;      // none for the layout-wide ones
    std::vector<KeyState> states;      // Broken and Ligature
    bool ctrl = false;                 // Ligature: with Ctrl held too, which the states leave to XKB
    std::u16string text;               // Ligature
    std::optional<CellFault> fault;    // Broken
    size_t count = 0;                  // DeadChain
};

// "sc:10 with AltGr types \"ﬀ\" (2 characters), where an XKB level holds one
// keysym: left out": the record as a line, for the command's messages and
// the written files' comments.
std::string unmapped_text(const Unmapped &unmapped, const Keymap &keymap);

// "Shift+AltGr with Caps Lock on", "no modifier".
std::string state_words(KeyState state);

// A keysym the layout types and the character it types.
struct TypedKeysym {
    std::string keysym;
    std::u16string text;   // one character (two units for one beyond the BMP)
};

struct XkbLayout {
    std::vector<XkbKey> keys;              // in the order of the scan-code maps
    std::vector<DeadKeysym> dead_keys;     // in the order the keys first reach them
    std::vector<TypedKeysym> typed;        // every keysym with text, once, in key order
    std::vector<Unmapped> unmapped;
};

// The engine types every key of the module under every state.  A state the
// tables cannot answer, or that types more than one character, is left out
// and named in `unmapped`, and so is every lock the keymap cannot carry.
XkbLayout xkb_layout(const Keymap &keymap);

}  // namespace wendol::xkb
