// chart_views.h - the three pictures of the layout, each a key block with
// what every key types in one lock state, as the engine typed it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "chart/chart_keyboard.h"
#include "chart/chart_levels.h"
#include "engine/keymap.h"

namespace wendol::chart {

struct KeyFace {
    KeyPlace place;
    Levels levels;
    // The levels with Caps Lock on as well, where the view shows both and
    // Caps Lock changes the key; empty otherwise.
    std::optional<Levels> caps_levels;
    // The module's name for the key, shown on keys that type nothing that
    // prints (Tab, Enter, the modifiers).
    std::optional<std::u16string> caption;
    bool lit = false;   // a lock key that is on in this view
};

struct View {
    std::string slug;    // "caps-lock-off", "caps-lock-on", "keypad": ids in the page
    std::string title;   // "Caps Lock off"
    std::string lock;    // the lock key's name: "Caps Lock", "Shift Lock" under KLLF_SHIFTLOCK
    Locks locks;
    double width = 0, height = 0;   // in key widths
    std::vector<KeyFace> keys;
    // What the legend says about this view in particular.
    std::vector<std::string> notes;
};

// Caps Lock off, Caps Lock on (each "Shift Lock" on a KLLF_SHIFTLOCK
// layout), and the keypad with Num Lock on (and its Caps Lock differences).
View lock_off_view(const Keymap &keymap);
View lock_on_view(const Keymap &keymap);
View keypad_view(const Keymap &keymap);

// What the legend of a view needs to explain.
struct ViewContents {
    std::optional<char16_t> first_dead;   // a dead character the view shows
    bool named = false;
    bool through_virtual_key = false;
    bool caps_variants = false;
    bool captions = false;
    bool lit = false;
};
ViewContents contents(const View &view);

}  // namespace wendol::chart
