// xkb_typing.cpp - one keystroke script, typed on both sides.
#include "xkb_typing.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include <string_view>

#include "base/text.h"
#include "engine/typing.h"
#include "xkb/linux_keys.h"

namespace wendol::test {

using xkb::KeyState;

XkbContext::XkbContext(bool default_includes)
{
    const auto flags = default_includes
                           ? XKB_CONTEXT_NO_FLAGS
                           : xkb_context_flags(XKB_CONTEXT_NO_DEFAULT_INCLUDES |
                                               XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    context_ = xkb_context_new(flags);
    if (!context_)
        throw std::runtime_error("xkb_context_new failed");
    xkb_context_set_user_data(context_, this);
    xkb_context_set_log_fn(context_, &XkbContext::log);
    xkb_context_set_log_level(context_, XKB_LOG_LEVEL_WARNING);
    xkb_context_set_log_verbosity(context_, 10);
}

XkbContext::~XkbContext()
{
    xkb_context_unref(context_);
}

void XkbContext::log(xkb_context *context, xkb_log_level, const char *format, va_list args)
{
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    // At the highest verbosity libxkbcommon notes of every keymap given as a
    // string that it takes the first map of it; that says nothing of ours.
    if (std::string_view(text).starts_with("No map in include statement, but \"(input string)\""))
        return;
    static_cast<XkbContext *>(xkb_context_get_user_data(context))->messages_.emplace_back(text);
}

XkbKeymap keymap_from_text(const XkbContext &context, const std::string &text)
{
    XkbKeymap keymap(xkb_keymap_new_from_string(context.get(), text.c_str(),
                                                XKB_KEYMAP_FORMAT_TEXT_V1,
                                                XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap)
        throw std::runtime_error("libxkbcommon refused the keymap");
    return keymap;
}

ComposeTable compose_from_text(const XkbContext &context, const std::string &text)
{
    ComposeTable table(xkb_compose_table_new_from_buffer(
        context.get(), text.data(), text.size(), "C", XKB_COMPOSE_FORMAT_TEXT_V1,
        XKB_COMPOSE_COMPILE_NO_FLAGS));
    if (!table)
        throw std::runtime_error("libxkbcommon refused the Compose file");
    return table;
}

Script enter_state(KeyState state)
{
    Script s;
    if (state.caps_lock)
        s.insert(s.end(), {{xkb::kCapsLockKey, true}, {xkb::kCapsLockKey, false}});
    if (state.num_lock)
        s.insert(s.end(), {{xkb::kNumLockKey, true}, {xkb::kNumLockKey, false}});
    if (state.shift)
        s.push_back({xkb::kShiftKey, true});
    if (state.altgr)
        s.push_back({xkb::kAltGrKey, true});
    return s;
}

Script leave_state(KeyState state)
{
    Script s;
    if (state.altgr)
        s.push_back({xkb::kAltGrKey, false});
    if (state.shift)
        s.push_back({xkb::kShiftKey, false});
    return s;
}

Script press_in_state(ScanCode key, KeyState state)
{
    Script s = enter_state(state);
    s.insert(s.end(), {{key, true}, {key, false}});
    return s;
}

std::string engine_text(const Keymap &keymap, const Script &script)
{
    Typist typist(keymap);
    std::u16string text;
    for (const KeyEvent &e : script) {
        if (e.down)
            text += typist.press(e.scan).delivery.text;
        else
            typist.release(e.scan);
    }
    return utf8(text);
}

namespace {

struct StateDeleter {
    void operator()(xkb_state *state) const { xkb_state_unref(state); }
};
struct ComposeStateDeleter {
    void operator()(xkb_compose_state *state) const { xkb_compose_state_unref(state); }
};

std::string utf8_of(int (*get)(xkb_compose_state *, char *, size_t), xkb_compose_state *state)
{
    char buffer[64];
    get(state, buffer, sizeof buffer);
    return buffer;
}

// What one key going down types, through the Compose state as a client
// feeds it.
std::string key_down_text(xkb_state *state, xkb_compose_state *compose, xkb_keycode_t code)
{
    const xkb_keysym_t keysym = xkb_state_key_get_one_sym(state, code);
    if (keysym == XKB_KEY_NoSymbol || keysym == XKB_KEY_VoidSymbol)
        return "";   // the key is nothing in this state: no event for Compose either
    std::string text;
    if (compose && xkb_compose_state_feed(compose, keysym) == XKB_COMPOSE_FEED_ACCEPTED) {
        switch (xkb_compose_state_get_status(compose)) {
        case XKB_COMPOSE_COMPOSING:
            return "";
        case XKB_COMPOSE_COMPOSED:
            text = utf8_of(&xkb_compose_state_get_utf8, compose);
            xkb_compose_state_reset(compose);
            return text;
        case XKB_COMPOSE_CANCELLED:
            xkb_compose_state_reset(compose);
            return "";
        case XKB_COMPOSE_NOTHING:
            break;
        }
    }
    char buffer[64];
    xkb_state_key_get_utf8(state, code, buffer, sizeof buffer);
    return buffer;
}

std::string state_text(KeyState state)
{
    std::string mods;
    const auto add = [&](const char *name) { mods += (mods.empty() ? "" : "+") + std::string(name); };
    if (state.shift)
        add("Shift");
    if (state.altgr)
        add("AltGr");
    std::string locks;
    if (state.caps_lock)
        locks += ", Caps Lock";
    if (state.num_lock)
        locks += ", Num Lock";
    return (mods.empty() ? "no modifier" : mods) + locks;
}

// Every scan code the module maps, once.
std::vector<ScanCode> scan_codes(const Keymap &keymap)
{
    std::vector<ScanCode> keys;
    for (const auto &[scan, vk] : keymap.scan_codes())
        if (std::find(keys.begin(), keys.end(), scan) == keys.end())
            keys.push_back(scan);
    return keys;
}

// A key in a state, and whether the engine makes it a dead key.
struct KeyInState {
    ScanCode key;
    KeyState state;
    bool dead = false;
};

}  // namespace

std::string xkb_text(xkb_keymap *keymap, xkb_compose_table *compose, const Script &script)
{
    std::unique_ptr<xkb_state, StateDeleter> state(xkb_state_new(keymap));
    std::unique_ptr<xkb_compose_state, ComposeStateDeleter> composing(
        compose ? xkb_compose_state_new(compose, XKB_COMPOSE_STATE_NO_FLAGS) : nullptr);
    std::string text;
    for (const KeyEvent &e : script) {
        const std::optional<xkb::LinuxKey> key = xkb::linux_key(e.scan);
        if (!key)
            continue;   // a key Linux has no code for sends nothing
        const xkb_keycode_t code = key->xkb_code();
        if (e.down)
            text += key_down_text(state.get(), composing.get(), code);
        xkb_state_update_key(state.get(), code, e.down ? XKB_KEY_DOWN : XKB_KEY_UP);
    }
    return text;
}

Comparison compare_every_key(const Keymap &keymap, xkb_keymap *xkb, xkb_compose_table *compose)
{
    Comparison out;
    for (const ScanCode &key : scan_codes(keymap)) {
        for (unsigned s = 0; s < xkb::kKeyStates; ++s) {
            const KeyState state = KeyState::from_index(s);
            const Script script = press_in_state(key, state);
            const std::string engine = engine_text(keymap, script);
            const std::string linux = xkb_text(xkb, compose, script);
            ++out.compared;
            if (engine != linux)
                out.differences.push_back({key, state, xkb::scan_code_text(key) + " with " + state_text(state),
                                           engine, linux});
        }
    }
    return out;
}

Comparison compare_dead_keys(const Keymap &keymap, xkb_keymap *xkb, xkb_compose_table *compose,
                             size_t stride)
{
    // What the engine makes of each key in each state, pressed on its own.
    std::vector<KeyInState> dead, followers;
    for (const ScanCode &key : scan_codes(keymap)) {
        for (unsigned s = 0; s < xkb::kKeyStates; ++s) {
            const KeyState state = KeyState::from_index(s);
            Typist typist(keymap);
            Press press;
            for (const KeyEvent &e : enter_state(state))
                e.down ? static_cast<void>(press = typist.press(e.scan)) : typist.release(e.scan);
            press = typist.press(key);
            const bool is_dead = typist.pending().has_value();
            if (is_dead)
                dead.push_back({key, state, true});
            if (is_dead || !press.delivery.text.empty())
                followers.push_back({key, state, is_dead});
        }
    }
    Comparison out;
    for (const KeyInState &first : dead) {
        for (size_t i = 0; i < followers.size(); i += stride) {
            const KeyInState &then = followers[i];
            Script script = press_in_state(first.key, first.state);
            const Script leave = leave_state(first.state);
            script.insert(script.end(), leave.begin(), leave.end());
            // The second key's locks from the first's: tap what differs.
            if (first.state.caps_lock != then.state.caps_lock)
                script.insert(script.end(), {{xkb::kCapsLockKey, true}, {xkb::kCapsLockKey, false}});
            if (first.state.num_lock != then.state.num_lock)
                script.insert(script.end(), {{xkb::kNumLockKey, true}, {xkb::kNumLockKey, false}});
            KeyState held = then.state;
            held.caps_lock = held.num_lock = false;
            const Script enter = enter_state(held);
            script.insert(script.end(), enter.begin(), enter.end());
            script.insert(script.end(), {{then.key, true}, {then.key, false}});

            const std::string engine = engine_text(keymap, script);
            const std::string linux = xkb_text(xkb, compose, script);
            ++out.compared;
            if (engine != linux)
                out.differences.push_back(
                    {then.key, then.state,
                     "dead " + xkb::scan_code_text(first.key) + " (" + state_text(first.state) +
                         ") then " + xkb::scan_code_text(then.key) + " (" + state_text(then.state) + ")",
                     engine, linux, true, then.dead});
        }
    }
    return out;
}

std::string describe(const Difference &d)
{
    const auto show = [](const std::string &text) {
        std::u16string units;
        for (char32_t c : code_points(text))
            units += c < 0x10000 ? std::u16string(1, static_cast<char16_t>(c)) : u"\uFFFD";
        return wendol::quoted(units);
    };
    return d.what + ": engine " + show(d.engine) + ", xkb " + show(d.xkb);
}

namespace {

bool xkb_types_nothing(const Difference &d)
{
    return !d.engine.empty() && d.xkb.empty();
}

// The key's keysym typed its control character where the engine typed none.
bool xkb_types_a_control(const Difference &d)
{
    return d.engine.empty() && d.xkb.size() == 1 &&
           (static_cast<unsigned char>(d.xkb[0]) < 0x20 || d.xkb[0] == '\x7F');
}

}  // namespace

std::vector<Exception> module_exceptions()
{
    return {
        {{Prefix::None, 0x5F}, "no Linux key code", xkb_types_nothing},
        {{Prefix::None, 0x7C}, "no Linux key code", xkb_types_nothing},
        {{Prefix::E0, 0x46}, "no Linux key code below 256", xkb_types_nothing},
        {{Prefix::None, 0x01}, "Escape with Shift or AltGr", xkb_types_a_control},
        {{Prefix::None, 0x0E}, "Backspace with AltGr", xkb_types_a_control},
        {{Prefix::None, 0x0F}, "Tab with AltGr", xkb_types_a_control},
        {{Prefix::E0, 0x53}, "Delete", xkb_types_a_control},
    };
}

}  // namespace wendol::test
