// kmfl_typing.h - the same keyboard source (.kmn) compiled by kmflcomp and
// typed through libkmfl, an older, separately written compiler and
// interpreter of the language, as a second witness beside Keyman Core.
//
// KMFL's model (kmflcomp and libkmfl 14.0.290), as these wrappers rely on it:
// - kmflcomp turns [K_x] into an X keysym at compile time, through the US
//   layout when no X display is open (DISPLAY is cleared here so the result
//   never depends on the desktop): letters by their case, [SHIFT K_A] as
//   `A` with Shift, but any other key by its unshifted keysym: [SHIFT K_1]
//   is `1` with Shift, never `!`.  K_oE2 is `<`, K_NPn are KP_n.
// - kmfl_interpret takes that keysym (only its low 16 bits) and a state:
//   1 Shift, 2 Caps Lock, 4 Ctrl, 8 Alt, with 0x100 / 0x400 / 0x800 saying
//   the Shift / Ctrl / Alt held is the right-hand one.  Mod2..Mod5 (0x10
//   to 0x80) are dropped, so AltGr reaches a rule only as Alt + 0x800.
// - A rule with no modifiers matches its keysym under any Shift or Caps
//   Lock; [CAPS ...] / [NCAPS ...] test the Lock bit; Ctrl or Alt held
//   with no rule passes the key on.  A letter's keysym follows Shift xor
//   Caps Lock, as X gives it, so [K_A] under Caps Lock is missed (Core
//   matches it) unless the rule names CAPS or NCAPS.
// - A key no rule matches: a Latin-1 keysym without Ctrl or Alt is typed
//   as that character by KMFL itself; Backspace erases one character
//   (always handled, even with nothing before the caret); any other key is
//   passed on.  A dead key types nothing and is not reported: it sits in
//   KMFL's history until a rule takes it, a Backspace or a key passed on.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "keyman/typed_text.h"

namespace wendol::test {

// What kmflcomp said of a source.
struct KmflCompile {
    int exit_code = -1;
    std::string messages;          // its warnings and errors, as printed
    std::filesystem::path kmfl;    // the compiled file, when exit_code is 0
    bool ok() const { return exit_code == 0; }
};

// Compiles `kmn` into `out_dir` (kmflcomp writes beside its source, so the
// source is copied there first).
KmflCompile compile_with_kmflcomp(const std::filesystem::path &kmn, const std::filesystem::path &out_dir);

// A key as an X client hands it to KMFL.
struct XKey {
    unsigned keysym = 0;
    unsigned state = 0;
};

// The keysym kmflcomp gave the same key and the state for its modifiers;
// none for a key with no keysym in KMFL's table (K_oC1 and the like).
std::optional<XKey> x_key_for(const Keystroke &key);

struct KmflError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The steps libkmfl's callbacks report for the key being typed.
struct KmflSink {
    std::vector<EngineStep> steps;
};

// One compiled keyboard loaded into libkmfl and one instance typing on it.
// libkmfl keeps its keyboards in a list of its own: load a file once at a
// time.
class KmflTyping {
public:
    explicit KmflTyping(const std::filesystem::path &kmfl);
    ~KmflTyping();
    KmflTyping(const KmflTyping &) = delete;
    KmflTyping &operator=(const KmflTyping &) = delete;

    // One key down.  A key with no keysym is passed on without asking KMFL.
    KeyResult press(const Keystroke &key);
    KeyResult press(const XKey &key);

    // Every key from an empty history, applied to a document.
    TypedText type(const std::vector<Keystroke> &keys, const PlatformKey &platform = {});

    // Forget the history and its dead keys.
    void reset();
    // A dead key is waiting in the history.
    bool marker_pending() const;

private:
    struct Instance;
    std::unique_ptr<KmflSink> sink_;  // the callbacks' connection: its address never moves
    int keyboard_ = -1;
    std::unique_ptr<Instance> instance_;
};

}  // namespace wendol::test
