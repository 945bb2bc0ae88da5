// keyman_typing.cpp - typing Keyman's keys through the engine, and the
// comparisons with another engine.
#include "keyman_typing.h"

#include <algorithm>
#include <map>

#include "base/text.h"
#include "engine/key_parse.h"
#include "engine/typing.h"

namespace wendol::test {

namespace {

Chord chord_of(const Stroke &s) { return keyman::chord_of(s.key.scan, s.modifiers); }

bool has_control(const std::u16string &text)
{
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c < 0x20 || c == 0x7F; });
}

// What one stroke does on a fresh keyboard: its text, the dead character
// it leaves pending.
struct Alone {
    std::u16string text;
    std::optional<char16_t> dead;
};

Alone alone(const Keymap &keymap, const Stroke &s)
{
    Typist typist = keyman::keyman_keyboard(keymap, s.caps_lock);
    const std::u16string text = delivered(typist.chord(chord_of(s)));
    return {has_control(text) ? std::u16string() : text, typist.pending()};
}

std::vector<Stroke> every_stroke(const Keymap &keymap)
{
    std::vector<Stroke> strokes;
    for (const auto &[scan, vk] : keymap.scan_codes())
        if (const std::optional<keyman::KeymanKey> key = keyman::keyman_key(scan))
            for (const keyman::Modifiers &m : keyman::kModifierStates)
                for (bool caps : {false, true})
                    strokes.push_back({*key, m, caps});
    return strokes;
}

void compare(const Strokes &strokes, const Keymap &keymap, const Engine &other, Comparison &c)
{
    const std::u16string mine = engine_text(keymap, strokes), theirs = other(strokes);
    ++c.compared;
    if (mine != theirs)
        c.differences.push_back({strokes, mine, theirs});
}

}  // namespace

std::u16string engine_text(const Keymap &keymap, const Strokes &strokes)
{
    Typist typist = keyman::keyman_keyboard(keymap, !strokes.empty() && strokes.front().caps_lock);
    std::u16string text;
    for (const Stroke &s : strokes) {
        const std::u16string typed = delivered(typist.chord(chord_of(s)));
        if (!has_control(typed))
            text += typed;
    }
    return text;
}

Comparison compare_every_key(const Keymap &keymap, const Engine &other)
{
    Comparison c;
    for (const Stroke &s : every_stroke(keymap)) {
        // Ctrl is written only where it types a character.
        if (s.modifiers.ctrl && alone(keymap, s).text.empty())
            continue;
        compare({s}, keymap, other, c);
    }
    return c;
}

Comparison compare_dead_keys(const Keymap &keymap, const Engine &other)
{
    Comparison c;
    std::vector<Stroke> followers;
    for (const Stroke &s : every_stroke(keymap)) {
        const Alone a = alone(keymap, s);
        if (!s.modifiers.ctrl && (!a.text.empty() || a.dead))
            followers.push_back(s);
    }
    // The ways to each dead character, per lock state: a key, or a
    // composition that leaves it pending.
    for (bool caps : {false, true}) {
        std::map<char16_t, Strokes> ways;
        std::vector<char16_t> queue;
        for (const Stroke &s : followers) {
            const Alone a = alone(keymap, s);
            if (s.caps_lock == caps && a.dead && a.text.empty() && !ways.count(*a.dead)) {
                ways[*a.dead] = {s};
                queue.push_back(*a.dead);
            }
        }
        for (size_t q = 0; q < queue.size(); ++q) {
            const Strokes way = ways[queue[q]];
            for (const Stroke &f : followers) {
                if (f.caps_lock != caps)
                    continue;
                Strokes strokes = way;
                strokes.push_back(f);
                compare(strokes, keymap, other, c);
                Typist typist = keyman::keyman_keyboard(keymap, caps);
                for (const Stroke &s : strokes)
                    typist.chord(chord_of(s));
                if (const std::optional<char16_t> next = typist.pending(); next && !ways.count(*next)) {
                    ways[*next] = strokes;
                    queue.push_back(*next);
                }
            }
        }
    }
    return c;
}

std::string describe(const Difference &d)
{
    std::string keys;
    for (const Stroke &s : d.strokes) {
        std::string mods = keyman::modifier_words(s.modifiers);
        std::replace(mods.begin(), mods.end(), ' ', '+');
        append_item(keys, (mods.empty() ? "" : mods + "+") + s.key.id, ", ");
    }
    const bool caps = !d.strokes.empty() && d.strokes.front().caps_lock;
    return keys + (caps ? ", Caps Lock on" : "") + ": engine \"" + utf8(std::u16string_view(d.engine)) +
           "\", other \"" + utf8(std::u16string_view(d.other)) + "\"";
}

}  // namespace wendol::test
