// verify_reach.cpp - what the keyboard types, looked up again: every
// character is found by the reverse lookup, and the keys it names type that
// character on a fresh keyboard.
#include <iterator>
#include <map>

#include "base/error.h"
#include "base/text.h"
#include "engine/key_parse.h"
#include "engine/keyboard_sweep.h"
#include "engine/reverse_lookup.h"
#include "tables/vk_names.h"
#include "verify/verify.h"

namespace wendol {

namespace {

// A layout types a few hundred characters; past this the image is noise.
constexpr size_t kMaxCharacters = 4096;

// How the sweep first typed a character: "VK_SHIFT+VK_ALTGR+e, Caps Lock on".
std::string typed_by(const SweepState &state, const Press &press)
{
    std::string text;
    for (uint8_t vk : state.modifiers)
        text += vk_label(vk) + "+";
    text += key_text(press.key);
    if (state.caps_lock)
        text += ", Caps Lock on";
    if (state.num_lock)
        text += ", Num Lock on";
    if (state.kana_lock)
        text += ", Kana lock on";
    return text;
}

struct Typed {
    std::map<char16_t, std::string> direct;   // each character and how it was first typed
    std::map<char16_t, std::string> dead;     // each dead character likewise
    std::map<char16_t, std::string> composed;
    std::map<char16_t, std::string> ligature; // characters only a ligature types
};

// Dead characters that DKF_DEAD compositions leave pending after typed dead
// keys and bases, each added once, so that a chain looping back ends.
void add_chained_dead(const Keymap &keymap, Typed &typed)
{
    const auto &entries = keymap.tables().dead_keys;
    for (bool grew = true; grew;) {
        grew = false;
        for (size_t i = 0; i < entries.size(); ++i) {
            const DeadKeyEntry &e = entries[i];
            const auto dead = static_cast<char16_t>(e.dead), base = static_cast<char16_t>(e.base);
            if (!(e.flags & kDkfDead) || !typed.dead.count(dead) || !typed.direct.count(base) ||
                keymap.composition(dead, base) != &e || typed.dead.count(e.composed))
                continue;
            typed.dead.emplace(e.composed, "DEADKEY[" + std::to_string(i) + "]: dead " +
                                               character_label(dead) + " then " +
                                               character_label(base));
            grew = true;
        }
    }
}

Typed sweep(const Keymap &keymap)
{
    Typed typed;
    sweep_keyboard(keymap, [&](const SweepState &state, const Press &press) {
        auto *first = press.cell.kind == Cell::Kind::Character ? &typed.direct
                      : press.cell.kind == Cell::Kind::Dead    ? &typed.dead
                                                               : nullptr;
        if (first && !first->count(press.cell.ch))
            first->emplace(press.cell.ch, typed_by(state, press));
        if (press.cell.kind == Cell::Kind::Ligature)
            for (char16_t ch : press.cell.ligature)
                typed.ligature.try_emplace(ch, typed_by(state, press) + " (a ligature)");
    });
    add_chained_dead(keymap, typed);
    // What a typed dead character and a typed base compose, as the platform
    // composes: the first entry for a pair, the result a character.
    const auto &entries = keymap.tables().dead_keys;
    for (size_t i = 0; i < entries.size(); ++i) {
        const DeadKeyEntry &e = entries[i];
        const auto dead = static_cast<char16_t>(e.dead), base = static_cast<char16_t>(e.base);
        if ((e.flags & kDkfDead) || !typed.dead.count(dead) || !typed.direct.count(base) ||
            keymap.composition(dead, base) != &e || typed.direct.count(e.composed))
            continue;
        typed.composed.try_emplace(e.composed, "DEADKEY[" + std::to_string(i) + "]: " +
                                                   character_label(dead) + " then " +
                                                   character_label(base));
    }
    for (auto it = typed.ligature.begin(); it != typed.ligature.end();)
        it = typed.direct.count(it->first) || typed.composed.count(it->first)
                 ? typed.ligature.erase(it)
                 : std::next(it);
    return typed;
}

std::string outcome(const std::u16string &text, std::optional<char16_t> pending)
{
    std::string out = text.empty() ? "nothing" : quoted(text);
    if (pending)
        out += " and the dead " + character_label(*pending) + " still pending";
    return out;
}

void check_character(const Keymap &keymap, const ReverseLookup &lookup, char16_t ch,
                     const std::string &origin, bool direct, Findings &findings)
{
    const std::string place = character_label(ch) + ", typed by " + origin;
    const Found found = lookup.find(ch);
    if (direct && !found.platform)
        findings.error("reach", place, "the platform's reverse lookup to report a key",
                       "none");
    if (!found.way) {
        findings.error("reach", place, "a way to type it from the reverse lookup", "none");
        return;
    }
    Typist typist(keymap);
    std::u16string text;
    std::string keys;
    for (const Chord &chord : lookup.key_sequence(*found.way)) {
        text += delivered(typist.chord(chord));
        keys += (keys.empty() ? "" : " ") + chord_text(chord);
    }
    if (text != found.way->text(ch) || typist.pending())
        findings.error("reach", place,
                       "the keys the reverse lookup reports (" + keys + ") to type it",
                       outcome(text, typist.pending()));
}

}  // namespace

void verify_reach(const Keymap &keymap, Findings &findings)
{
    const Typed typed = sweep(keymap);
    const size_t total = typed.direct.size() + typed.composed.size() + typed.ligature.size();
    if (total > kMaxCharacters) {
        findings.warning("reach", "the character tables",
                         "at most " + std::to_string(kMaxCharacters) + " characters to look up",
                         std::to_string(total) + "; only that many were checked");
    }
    const ReverseLookup lookup(keymap);
    size_t checked = 0;
    for (const auto *group : {&typed.direct, &typed.composed, &typed.ligature})
        for (const auto &[ch, origin] : *group)
            if (checked++ < kMaxCharacters)
                check_character(keymap, lookup, ch, origin, group == &typed.direct, findings);
}

}  // namespace wendol
