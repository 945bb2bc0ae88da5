// chart_levels.h - what a key types at the four levels a chart shows, found
// the only way the chart finds anything out: by typing the key through the
// engine on a fresh keyboard with the locks of the view on.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/key_parse.h"
#include "engine/keymap.h"

namespace wendol::chart {

// The four levels, in the order a keycap is read: plain, Shift, AltGr,
// AltGr+Shift.  Ctrl is left off the chart; it gives control characters.
enum class Level : uint8_t { Plain, Shift, AltGr, AltGrShift };
inline constexpr std::array<Level, 4> kLevels = {Level::Plain, Level::Shift, Level::AltGr,
                                                 Level::AltGrShift};

// The level as a class name in the drawing ("plain", "altgr-shift") and as
// a person writes the modifiers ("plain", "AltGr+Shift").
const char *level_class(Level level);
const char *level_text(Level level);

// The modifier keys a view holds beneath its four levels: none in the
// standard views; in a layer view, the layout's further level keys (a Kana
// key, say), with the levels whose columns are that layer's own.
struct Layer {
    Chord held;          // pressed before the level's modifiers
    std::string name;    // "Kana": the keys as the layout names them; "" for none
    std::array<bool, kLevels.size()> levels = {true, true, true, true};
    friend bool operator==(const Layer &, const Layer &) = default;
};

// The level as a person writes the keys of a layer with it: "plain",
// "AltGr+Shift" without a layer, "Kana", "Kana+AltGr+Shift" with one.
std::string level_name(const Layer &layer, Level level);

struct Locks {
    bool caps_lock = false;
    bool num_lock = false;
    friend bool operator==(const Locks &, const Locks &) = default;
};

// What one level of a key gives.
struct Label {
    enum class Kind {
        Character,   // text that prints
        Dead,        // a dead key; `text` is its dead character
        Named,       // a character that does not print: shown by its name
    };
    Kind kind = Kind::Character;
    std::u16string text;
    // Typed as the virtual key the key sends under Num Lock, because Shift
    // with Num Lock on turns the keypad's digit keys into navigation keys.
    bool through_virtual_key = false;
    friend bool operator==(const Label &, const Label &) = default;
};

using Levels = std::array<std::optional<Label>, kLevels.size()>;

// What the chart writes for a label: the text itself, the dead character,
// or the names of the characters ("LINE SEPARATOR").
std::string shown_text(const Label &label);

// "U+00E9", or "U+0041 U+0301" for text of several characters.
std::string code_points(const std::u16string &text);

// The keys pressed together for `key` at `level`, the layer's keys first:
// "AltGr+Shift+=", "sc:29+Shift+q".
Chord level_chord(ScanCode key, Level level, const Chord &held = {});

// Types `key` at `level` on a keyboard that has nothing held but the
// layer's keys and the given locks on; nothing when the key gives no
// character and is no dead key, nor where Alt is held alone (a right Alt
// key that is no AltGr): the keymap then reads the column without Alt and
// delivers a system character, which is no text.
std::optional<Label> type_level(const Keymap &keymap, ScanCode key, Level level, Locks locks,
                                const Chord &held = {});

// Every level the layer draws; the others left empty.
Levels type_levels(const Keymap &keymap, ScanCode key, Locks locks, const Layer &layer = {});

// Whether the tables cannot answer the key at some level the layer draws
// (a Broken cell): the chart leaves it blank there and names it.
bool broken_somewhere(const Keymap &keymap, ScanCode key, Locks locks, const Layer &layer = {});

// The lock keys, where the keyboard has them.
ScanCode caps_lock_scan();
ScanCode num_lock_scan();

}  // namespace wendol::chart
