// chart_views.h - the pictures of the layout, each a key block with what
// every key types in one lock state (or with a layer's keys held), as the
// engine typed it.
#pragma once

#include <array>
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
    bool lit = false;   // a lock key that is on, or a layer's key held, in this view
};

struct View {
    std::string slug;    // "caps-lock-off", "caps-lock-on", "keypad": ids in the page
    std::string title;   // "Caps Lock off"
    std::string lock;    // the lock key's name: "Caps Lock", "Shift Lock" under KLLF_SHIFTLOCK
    Locks locks;
    Layer layer;         // the further keys held, in a layer view
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

// The alphanumeric block as it types with a layer's keys held (chart_layers.h),
// titled after them: "Kana held".  Only the layer's own levels are drawn.
View layer_view(const Keymap &keymap, const Layer &layer);

// What the legend of a view needs to explain.
struct ViewContents {
    std::optional<char16_t> first_dead;   // a dead character the view shows
    bool named = false;
    bool through_virtual_key = false;
    bool caps_variants = false;
    bool captions = false;
    bool lit = false;
    std::array<bool, kLevels.size()> levels{};   // the levels some key shows
};
ViewContents contents(const View &view);

}  // namespace wendol::chart
