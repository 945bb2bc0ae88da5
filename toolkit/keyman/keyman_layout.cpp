// keyman_layout.cpp - the Keyman form of a layout, read off the engine key
// by key and dead key by dead key.
#include "keyman/keyman_layout.h"

#include <algorithm>
#include <map>

#include "base/text.h"
#include "engine/key_parse.h"
#include "engine/typing.h"

namespace wendol::keyman {

namespace {

bool control_character(char16_t c) { return c < 0x20 || c == 0x7F; }

// What the chords type in the end: the last one's characters and what is
// left pending.  A key typing control characters types nothing Keyman
// writes.
struct Typed {
    Output output;
    bool controls = false;
    const CellFault *fault = nullptr;
};

Typed type_chords(const Keymap &keymap, bool caps_lock, const std::vector<Chord> &chords)
{
    Typist typist = keyman_keyboard(keymap, caps_lock);
    std::vector<Press> presses;
    for (const Chord &chord : chords)
        presses = typist.chord(chord);
    Typed typed;
    for (const Press &p : presses)
        if (p.cell.kind == Cell::Kind::Broken)
            typed.fault = p.cell.fault;
    typed.output.text = delivered(presses);
    typed.output.dead = typist.pending();
    if (std::any_of(typed.output.text.begin(), typed.output.text.end(), control_character)) {
        typed.controls = true;
        typed.output = {};
    }
    return typed;
}

// A key under a state, and what it types with Caps Lock off and on.
struct KeyState {
    KeymanKey key;
    Modifiers modifiers;
    Typed off, on;
};

void note(std::vector<Unwritten> &notes, Unwritten::Kind kind, std::optional<ScanCode> scan,
          const CellFault *fault = nullptr)
{
    for (const Unwritten &u : notes)
        if (u.kind == kind && u.scan == scan)
            return;
    Unwritten u{kind, scan, std::nullopt};
    if (fault)
        u.fault = *fault;
    notes.push_back(u);
}

void add_char(std::u32string &set, const std::u16string &text)
{
    const std::u32string points = code_points(std::u16string_view(text));
    if (points.size() == 1 && set.find(points[0]) == std::u32string::npos)
        set.push_back(points[0]);
}

void add_dead(std::vector<char16_t> &dead, const Output &o)
{
    if (o.dead && std::find(dead.begin(), dead.end(), *o.dead) == dead.end())
        dead.push_back(*o.dead);
}

// The rules of one key state with nothing pending.
void key_rules(const KeyState &s, std::vector<KeyRule> &rules)
{
    const Output &off = s.off.output, &on = s.on.output;
    if (off.nothing() && on.nothing())
        return;
    if (off == on) {
        rules.push_back({s.key, s.modifiers, CapsMatch::Either, std::nullopt, off});
        return;
    }
    // Ctrl states are written only where they type; elsewhere a state that
    // types nothing says so, or Keyman would type the US key's character.
    if (!s.modifiers.ctrl || !off.nothing())
        rules.push_back({s.key, s.modifiers, CapsMatch::Off, std::nullopt, off});
    if (!s.modifiers.ctrl || !on.nothing())
        rules.push_back({s.key, s.modifiers, CapsMatch::On, std::nullopt, on});
}

// Where a dead character is reached from, with Caps Lock off and on: the
// chords that leave it pending.
using Paths = std::map<char16_t, std::vector<Chord>>;

}  // namespace

Chord chord_of(ScanCode key, Modifiers m)
{
    static constexpr ScanCode kShiftKey{Prefix::None, 0x2A}, kAltGrKey{Prefix::E0, 0x38},
        kCtrlKey{Prefix::None, 0x1D};
    Chord chord;
    if (m.ctrl)
        chord.push_back(kCtrlKey);
    if (m.shift)
        chord.push_back(kShiftKey);
    if (m.altgr)
        chord.push_back(kAltGrKey);
    chord.push_back(key);
    return chord;
}

Typist keyman_keyboard(const Keymap &keymap, bool caps_lock)
{
    static constexpr ScanCode kCapsLockKey{Prefix::None, 0x3A}, kNumLockKey{Prefix::None, 0x45};
    Typist typist(keymap);
    typist.chord({kNumLockKey});
    if (caps_lock)
        typist.chord({kCapsLockKey});
    return typist;
}

std::string modifier_words(Modifiers m, bool right_ctrl)
{
    std::string words;
    const auto add = [&words](const char *w) { append_item(words, w); };
    if (m.ctrl)
        add(right_ctrl ? "RCTRL" : "LCTRL");
    if (m.shift)
        add("SHIFT");
    if (m.altgr)
        add("RALT");
    return words;
}

KeymanLayout keyman_layout(const Keymap &keymap)
{
    KeymanLayout layout;
    layout.shift_frees_caps = keymap.shift_lock();
    std::vector<KeyState> states;
    for (const auto &[scan, vk] : keymap.scan_codes()) {
        const std::optional<KeymanKey> key = keyman_key(scan);
        bool types = false;
        for (const Modifiers &m : kModifierStates) {
            KeyState s{key.value_or(KeymanKey{scan}), m,
                       type_chords(keymap, false, {chord_of(scan, m)}),
                       type_chords(keymap, true, {chord_of(scan, m)})};
            layout.typed += 2;
            for (const Typed *t : {&s.off, &s.on}) {
                if (t->fault)
                    note(layout.unwritten, Unwritten::Kind::Broken, scan, t->fault);
                if (t->controls)
                    note(layout.unwritten, Unwritten::Kind::Controls, std::nullopt);
                types = types || !t->output.nothing();
            }
            if (key)
                states.push_back(s);
        }
        if (!key && types)
            note(layout.unwritten, Unwritten::Kind::NoKeymanKey, scan);
    }
    // A key whose states all type nothing gets no rule at all.
    std::erase_if(states, [&](const KeyState &s) {
        return std::none_of(states.begin(), states.end(), [&](const KeyState &o) {
            return o.key.scan == s.key.scan && !(o.off.output.nothing() && o.on.output.nothing());
        });
    });
    // A rule that names no Shift is taken with Shift held too by an engine
    // that matches X keysyms (KMFL): where the Shift state of a level types
    // nothing and the other does, it gets a rule saying so.
    const auto partner_types = [&](const KeyState &s) {
        return std::any_of(states.begin(), states.end(), [&](const KeyState &o) {
            return o.key.scan == s.key.scan && o.modifiers.altgr == s.modifiers.altgr &&
                   o.modifiers.ctrl == s.modifiers.ctrl && o.modifiers.shift != s.modifiers.shift &&
                   !(o.off.output.nothing() && o.on.output.nothing());
        });
    };
    for (const KeyState &s : states) {
        if (!s.modifiers.ctrl && s.off.output.nothing() && s.on.output.nothing() && partner_types(s))
            layout.keys.push_back({s.key, s.modifiers, CapsMatch::Either, std::nullopt, {}});
        key_rules(s, layout.keys);
        for (const Typed *t : {&s.off, &s.on}) {
            add_dead(layout.dead_keys, t->output);
            if (!t->output.dead)
                add_char(layout.fallback, t->output.text);
        }
    }

    // Every dead character each lock state reaches, from the keys and then
    // from the compositions that leave one pending, with what each key
    // state types after it.
    std::map<char16_t, std::map<size_t, Output>> after[2];   // [caps][dead][state index]
    for (int caps = 0; caps < 2; ++caps) {
        Paths paths;
        std::vector<char16_t> queue;
        for (const KeyState &s : states) {
            const Output &o = caps ? s.on.output : s.off.output;
            if (o.dead && o.text.empty() && !paths.count(*o.dead)) {
                paths[*o.dead] = {chord_of(s.key.scan, s.modifiers)};
                queue.push_back(*o.dead);
            }
        }
        for (size_t q = 0; q < queue.size(); ++q) {
            const char16_t dead = queue[q];
            for (size_t i = 0; i < states.size(); ++i) {
                const KeyState &f = states[i];
                const Output &base = caps ? f.on.output : f.off.output;
                if (f.modifiers.ctrl || base.nothing())
                    continue;
                std::vector<Chord> chords = paths[dead];
                chords.push_back(chord_of(f.key.scan, f.modifiers));
                const Typed typed = type_chords(keymap, caps, chords);
                ++layout.typed;
                after[caps][dead][i] = typed.output;
                if (typed.output.dead && !paths.count(*typed.output.dead)) {
                    paths[*typed.output.dead] = chords;
                    queue.push_back(*typed.output.dead);
                }
                add_dead(layout.dead_keys, typed.output);
            }
        }
    }
    // The fallback the second group of the keyboard writes: the dead
    // character, then the single character the key types.
    const auto fallback = [&](char16_t dead, const Output &base, const Output &got) {
        const std::u32string points = code_points(std::u16string_view(base.text));
        return !base.dead && points.size() == 1 && !got.dead &&
               got.text == std::u16string(1, dead) + base.text;
    };
    for (char16_t dead : layout.dead_keys)
        for (size_t i = 0; i < states.size(); ++i) {
            const KeyState &f = states[i];
            std::optional<Output> got[2];
            bool written[2] = {false, false};
            for (int caps = 0; caps < 2; ++caps) {
                const auto d = after[caps].find(dead);
                if (d == after[caps].end() || !d->second.count(i))
                    continue;
                got[caps] = d->second.at(i);
                written[caps] = !fallback(dead, caps ? f.on.output : f.off.output, *got[caps]);
            }
            if (written[0] && written[1] && got[0] == got[1]) {
                layout.after_dead.push_back({f.key, f.modifiers, CapsMatch::Either, dead, *got[0]});
                continue;
            }
            for (int caps = 0; caps < 2; ++caps)
                if (written[caps])
                    layout.after_dead.push_back({f.key, f.modifiers,
                                                 caps ? CapsMatch::On : CapsMatch::Off, dead,
                                                 *got[caps]});
        }

    // Keyman matches a key's rules consistently only where all of them say
    // how Caps Lock must be once any says it: the others are written twice.
    // So are the letters' rules: an engine that matches keys by the X keysym
    // (KMFL) sees Caps Lock turn a letter's keysym and misses a rule that
    // names no lock.
    std::vector<std::string_view> caps_keys;
    for (const KeymanKey &k : keyman_keys())
        if (std::string_view id = k.id; id.size() == 3 && id[2] >= 'A' && id[2] <= 'Z')
            caps_keys.push_back(id);
    for (const std::vector<KeyRule> *rules : {&layout.keys, &layout.after_dead})
        for (const KeyRule &r : *rules)
            if (r.caps != CapsMatch::Either)
                caps_keys.push_back(r.key.id);
    for (std::vector<KeyRule> *rules : {&layout.keys, &layout.after_dead}) {
        std::vector<KeyRule> split;
        for (const KeyRule &r : *rules) {
            if (r.caps != CapsMatch::Either ||
                std::find(caps_keys.begin(), caps_keys.end(), r.key.id) == caps_keys.end()) {
                split.push_back(r);
                continue;
            }
            for (CapsMatch caps : {CapsMatch::Off, CapsMatch::On}) {
                split.push_back(r);
                split.back().caps = caps;
            }
        }
        *rules = std::move(split);
    }

    note(layout.unwritten, Unwritten::Kind::KeyNames, std::nullopt);
    if (keymap.has_kana_lock_rows())
        note(layout.unwritten, Unwritten::Kind::KanaLock, std::nullopt);
    if (keymap.right_alt_is_altgr())
        note(layout.unwritten, Unwritten::Kind::CtrlAltAsAltGr, std::nullopt);
    if (std::any_of(states.begin(), states.end(), [](const KeyState &s) { return s.key.keypad; }))
        note(layout.unwritten, Unwritten::Kind::NumLockOff, std::nullopt);
    return layout;
}

std::string unwritten_text(const Unwritten &u)
{
    const std::string key = u.scan ? key_text(*u.scan) : "";
    switch (u.kind) {
    case Unwritten::Kind::NoKeymanKey:
        return key + " types, and Keyman has no key there: left out";
    case Unwritten::Kind::Broken:
        return key + ": the tables cannot answer the key in some states (" +
               (u.fault ? u.fault->expected + ", found " + u.fault->found : std::string("broken")) +
               "): no rule there";
    case Unwritten::Kind::Controls:
        return "keys that type control characters (Enter, Tab, Backspace, Escape, Ctrl+letter) "
               "are left to the platform, which types them as Windows does";
    case Unwritten::Kind::KeyNames:
        return "the key names: a Keyman keyboard has none";
    case Unwritten::Kind::KanaLock:
        return "the Kana lock (KANALOK rows): what those keys give under it is left out";
    case Unwritten::Kind::CtrlAltAsAltGr:
        return "KLLF_ALTGR: the AltGr levels are written for the right Alt key (RALT); "
               "the left Ctrl+Alt chord that Windows also takes for them is not";
    case Unwritten::Kind::NumLockOff:
        return "the keypad is written as it types with Num Lock on";
    }
    return "";
}

}  // namespace wendol::keyman
