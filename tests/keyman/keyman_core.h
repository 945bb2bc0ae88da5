// keyman_core.h - a compiled Keyman keyboard (.kmx) typed through Keyman
// Core, the keyboard processor every Keyman application uses.
//
// What Core does, as these wrappers rely on it (libkmnkbp 16.0.138):
// - A key no rule matches: a character key of the US layout without Ctrl
//   or Alt gets its US character inserted by Core itself (Caps Lock turns
//   letters); any other key (Enter, Tab, arrows, function keys, the number
//   pad, VK_OEM_102, Ctrl or Alt held, Backspace with nothing before it)
//   comes back as INVALIDATE_CONTEXT + EMIT_KEYSTROKE.
// - Caps Lock is only the CAPS flag on each key; the Caps Lock key itself
//   is emitted and changes nothing in Core.
// - [RALT K_x] matches RALT alone; LCTRL+RALT matches [CTRL ALT K_x].
// - The context persists between keys, so a marker set by dk() waits
//   before the caret until a rule takes it back (BACK of type MARKER) or a
//   Backspace takes it together with the character before it.
// - Core never trims its context (max_context of 256 is not enforced) and
//   each event costs time in its length: 7,000 keys into one context run
//   at about 4,000 keys/s; trimmed to 64 items, about 10,000.  A platform hands
//   Core only the text just before the caret; `context_limit` does that.
#pragma once

#include <keyman/keyboardprocessor.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "keyman/typed_text.h"

namespace wendol::test {

// Core refused the file or a call; `status` is its km_kbp_status.
struct KeymanCoreError : std::runtime_error {
    KeymanCoreError(const std::string &what, km_kbp_status code);
    km_kbp_status status;
};

struct CoreKeyboardDeleter {
    void operator()(km_kbp_keyboard *keyboard) const { km_kbp_keyboard_dispose(keyboard); }
};
struct CoreStateDeleter {
    void operator()(km_kbp_state *state) const { km_kbp_state_dispose(state); }
};

// One loaded keyboard and one insertion point's state on it.
class KeymanCore {
public:
    // Keeps the last `context_limit` items (characters and markers) before
    // the caret once the context has grown to twice that: a rule of the
    // written form reads a few items back, never 64.
    explicit KeymanCore(const std::filesystem::path &kmx, size_t context_limit = 64);

    // One key down; the steps Core asked for, in its order.
    KeyResult press(const Keystroke &key);

    // Every key from an empty context, applied to a document as an
    // application would; a key passed on types what `platform` says.
    TypedText type(const std::vector<Keystroke> &keys, const PlatformKey &platform = {});

    // Forget the context and its markers, as after a click elsewhere.
    void reset();

    // The characters before the caret as Core holds them, markers left out.
    std::u32string context_text() const;
    size_t context_markers() const;

private:
    void trim_context();

    size_t context_limit_;
    std::unique_ptr<km_kbp_keyboard, CoreKeyboardDeleter> keyboard_;
    std::unique_ptr<km_kbp_state, CoreStateDeleter> state_;
};

// One action item as a step; items with no effect on the text
// (PERSIST_OPT) give none.
std::vector<EngineStep> steps_from(const km_kbp_action_item *items);

}  // namespace wendol::test
