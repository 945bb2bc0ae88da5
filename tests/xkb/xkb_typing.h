// xkb_typing.h - the same keys typed through the toolkit's engine on the
// module and through libxkbcommon on the written keymap and Compose table,
// and every place where the two give different text.
#pragma once

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/keymap.h"
#include "xkb/xkb_layout.h"

namespace wendol::test {

// A libxkbcommon context that keeps every warning and error it logs.
class XkbContext {
public:
    // Without include paths, unless `default_includes`: then the paths
    // libxkbcommon sets by default (XDG_CONFIG_HOME, HOME, the system's).
    explicit XkbContext(bool default_includes = false);
    ~XkbContext();
    XkbContext(const XkbContext &) = delete;
    XkbContext &operator=(const XkbContext &) = delete;

    xkb_context *get() const { return context_; }
    const std::vector<std::string> &messages() const { return messages_; }

private:
    static void log(xkb_context *context, xkb_log_level level, const char *format, va_list args);

    xkb_context *context_ = nullptr;
    std::vector<std::string> messages_;
};

struct KeymapDeleter {
    void operator()(xkb_keymap *keymap) const { xkb_keymap_unref(keymap); }
};
struct ComposeDeleter {
    void operator()(xkb_compose_table *table) const { xkb_compose_table_unref(table); }
};
using XkbKeymap = std::unique_ptr<xkb_keymap, KeymapDeleter>;
using ComposeTable = std::unique_ptr<xkb_compose_table, ComposeDeleter>;

XkbKeymap keymap_from_text(const XkbContext &context, const std::string &text);
ComposeTable compose_from_text(const XkbContext &context, const std::string &text);

// A key going down or up.
struct KeyEvent {
    ScanCode scan;
    bool down = true;
};
using Script = std::vector<KeyEvent>;

// The events that put a keyboard in `state` (locks tapped, modifiers held),
// and those that let the modifiers go again.
Script enter_state(xkb::KeyState state);
Script leave_state(xkb::KeyState state);
// The press and release of one key in a state, from a fresh keyboard.
Script press_in_state(ScanCode key, xkb::KeyState state);

// The text each side delivers for the whole script, in UTF-8.
std::string engine_text(const Keymap &keymap, const Script &script);
std::string xkb_text(xkb_keymap *keymap, xkb_compose_table *compose, const Script &script);

// A press (or sequence) the two sides type differently.
struct Difference {
    ScanCode key;            // the key the difference is put down to
    xkb::KeyState state;
    std::string what;        // the keys, readable
    std::string engine, xkb; // the text each side typed
    bool after_dead = false; // the key followed a dead key...
    bool dead_pair = false;  // ...and was a dead key itself
};

struct Comparison {
    size_t compared = 0;
    std::vector<Difference> differences;
};

// Every scan code of the module under each of the sixteen states.
Comparison compare_every_key(const Keymap &keymap, xkb_keymap *xkb, xkb_compose_table *compose);

// Every dead key (each key and state that gives one) followed by every key
// and state that types something or is dead, the space bar among them.
// `stride` > 1 takes every stride-th follower only, for a quicker pass.
Comparison compare_dead_keys(const Keymap &keymap, xkb_keymap *xkb, xkb_compose_table *compose,
                             size_t stride = 1);

// "sc:1E with Shift+AltGr, Caps Lock: engine \"á\", xkb \"\"".
std::string describe(const Difference &d);

// A difference the README lists, and how to tell it.
struct Exception {
    ScanCode key;
    const char *why;
    std::function<bool(const Difference &)> matches;
};

// What the module does that XKB cannot hold as the platform types it: the
// keys Linux has no key code for, and Escape, Tab, Backspace and Delete where
// the module gives them no character, whose keysyms carry a control
// character as text.
std::vector<Exception> module_exceptions();

}  // namespace wendol::test
