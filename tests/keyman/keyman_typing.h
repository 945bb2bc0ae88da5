// keyman_typing.h - the same keys typed through the toolkit's engine on the
// module and through another engine on its Keyman keyboard, and every place
// where the two give different text.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/keymap.h"
#include "keyman/keyman_keys.h"
#include "keyman/keyman_layout.h"

namespace wendol::test {

// A key pressed under a state: the modifiers held, Caps Lock on or off.
struct Stroke {
    keyman::KeymanKey key;
    keyman::Modifiers modifiers;
    bool caps_lock = false;
};
using Strokes = std::vector<Stroke>;

// The text an engine leaves in a document for the strokes, typed from a
// fresh keyboard with Num Lock on (Keyman's keypad keys are its Num Lock
// keys), in UTF-16.
using Engine = std::function<std::u16string(const Strokes &)>;

// The toolkit's engine.  A stroke typing control characters (Enter, Tab,
// Ctrl+letter) is left out of what it delivers: Keyman leaves those keys to
// the platform.
std::u16string engine_text(const Keymap &keymap, const Strokes &strokes);

struct Difference {
    Strokes strokes;
    std::u16string engine, other;
};

struct Comparison {
    size_t compared = 0;
    std::vector<Difference> differences;
};

// Every key Keyman has a position for, under each modifier state a rule can
// name (plain, Shift, AltGr, AltGr+Shift, Ctrl, Ctrl+Shift), Caps Lock off
// and on.
Comparison compare_every_key(const Keymap &keymap, const Engine &other);

// Every dead key (each key and state leaving one pending, and each
// composition leaving another) followed by every key and state that types
// or is dead, Ctrl aside, Caps Lock off and on.
Comparison compare_dead_keys(const Keymap &keymap, const Engine &other);

// "Shift+RALT+K_A, Caps Lock on: engine \"Á\", other \"\"".
std::string describe(const Difference &d);

}  // namespace wendol::test
