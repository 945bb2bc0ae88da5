// chart_compositions.h - the dead keys of a chart: for each dead character,
// its name in the module, the keys that type it, and its compositions in the
// order the module stores them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "chart/chart_views.h"
#include "engine/keymap.h"

namespace wendol::chart {

// A key and level that types a dead character, and in which Caps Lock
// states it does.
struct DeadKeyPlace {
    ScanCode key;
    Level level = Level::Plain;
    Chord held;   // a layer's keys, held beneath the level
    bool caps_off = false;
    bool caps_on = false;
};

struct CompositionGroup {
    char16_t dead = 0;
    std::optional<std::u16string> name;   // from the module's dead-key names
    std::string lock = "Caps Lock";        // "Shift Lock" under KLLF_SHIFTLOCK
    std::vector<DeadKeyPlace> places;     // in the order the views show them
    std::vector<DeadKeyEntry> entries;    // stored order
};

// One group per dead character, in the order of the composition table, then
// those that only the keys type.  The places are found in `views`.
std::vector<CompositionGroup> composition_groups(const Keymap &keymap,
                                                 const std::vector<const View *> &views);

// The keys as a person writes them, "AltGr+=", "sc:29+Shift+q", and when they type the dead
// key: "Caps Lock off or on", "Caps Lock on" (`lock` names the lock key).
std::string place_chord(const DeadKeyPlace &place);
std::string place_locks(const DeadKeyPlace &place, const std::string &lock);

}  // namespace wendol::chart
