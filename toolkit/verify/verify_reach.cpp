// verify_reach.cpp - what the keyboard types, looked up again: every
// character is found by the reverse lookup, and the keys it names type that
// character on a fresh keyboard.
#include <algorithm>
#include <iterator>
#include <map>
#include <set>

#include "base/error.h"
#include "base/text.h"
#include "engine/compose.h"
#include "engine/key_parse.h"
#include "engine/keyboard_sweep.h"
#include "engine/reverse_lookup.h"
#include "tables/vk_names.h"
#include "verify/verify.h"
#include "verify_cells.h"

namespace wendol {

namespace {

// How the sweep first typed a character: "VK_SHIFT+VK_ALTGR+e, Caps Lock on"
// ("Shift Lock on" where Caps Lock is a Shift lock).
std::string typed_by(const Keymap &keymap, const SweepState &state, const Key &key)
{
    std::string text;
    for (uint8_t vk : state.modifiers)
        text += vk_label(vk) + "+";
    text += key_text(key);
    const std::string locks = locks_text(keymap, state);
    return locks.empty() ? text : text + ", " + locks;
}

// The key row a press that the tables could not answer was reading, as far
// as the scan-code maps tell it without the press.
std::optional<RowRef> row_of(const Keymap &keymap, const SweepState &state, const Key &key)
{
    const bool shift = std::find(state.modifiers.begin(), state.modifiers.end(), kVkShift) !=
                       state.modifiers.end();
    const bool ctrl = std::find(state.modifiers.begin(), state.modifiers.end(), kVkControl) !=
                      state.modifiers.end();
    return keymap.find_row(keymap.translate(key, state.num_lock, shift, ctrl).vk);
}

// Presses the tables cannot answer: one finding per key row, however many
// states press it, and the sweep goes on with the other keys.
class BrokenKeys {
public:
    BrokenKeys(const Keymap &keymap, SweepRecord &record, Findings &findings)
        : keymap_(keymap), record_(record), findings_(findings)
    {
    }

    void operator()(const SweepState &state, const Key &key, const CellFault &fault)
    {
        const std::optional<RowRef> row = row_of(keymap_, state, key);
        if (row && !record_.broken.insert({row->table, row->row}).second)
            return;
        if (!row && !keys_.insert(key_text(key)).second)
            return;
        findings_.error(Check::Reach, row_place(keymap_.tables(), fault.row, fault.column),
                        fault.expected, fault.found,
                        "met typing " + typed_by(keymap_, state, key) +
                            ", so that key's characters are not checked");
    }

private:
    const Keymap &keymap_;
    SweepRecord &record_;
    Findings &findings_;
    std::set<std::string> keys_;   // keys with no row of their own already reported
};

struct Typed {
    std::map<char16_t, std::string> direct;   // each character and how it was first typed
    std::map<char16_t, std::string> dead;     // each dead character likewise
    std::map<char16_t, std::string> composed;
    std::map<char32_t, std::string> ligature; // characters only a ligature types
    // Characters only a state no scan code makes types (see SweepState).
    std::map<char16_t, std::string> by_virtual_key;
};

// Dead characters that DKF_DEAD compositions leave pending after typed dead
// keys and bases (a base typed by a key or left by a dead key).
void add_chained_dead(const Keymap &keymap, Typed &typed)
{
    std::vector<char16_t> start;
    for (const auto &[dead, origin] : typed.dead)
        start.push_back(dead);
    const auto is_base = [&](char16_t ch) { return typed.direct.count(ch) || typed.dead.count(ch); };
    follow_chains(keymap, start, is_base, [&](const DeadKeyEntry &e) {
        typed.dead.emplace(e.composed, "dead " + character_label(e.dead) + " then " +
                                           character_label(e.base) + " (DKF_DEAD)");
    });
}

Typed sweep(const Keymap &keymap, SweepRecord &record, Findings &findings)
{
    Typed typed;
    const auto visit = [&](const SweepState &state, const Press &press) {
        auto *first = press.cell.kind == Cell::Kind::Character ? &typed.direct
                      : press.cell.kind == Cell::Kind::Dead    ? &typed.dead
                                                               : nullptr;
        if (press.cell.kind != Cell::Kind::NoRow && press.cell.kind != Cell::Kind::NoColumn)
            record.read.insert({press.cell.read_row.table, press.cell.read_row.row,
                                *press.cell.column});
        if (press.cell.kind == Cell::Kind::Ligature)
            for (char32_t ch : code_points(press.cell.ligature)) {
                if (ch <= 0xFFFF)
                    record.typed.insert(static_cast<char16_t>(ch));
                typed.ligature.try_emplace(ch, typed_by(keymap, state, press.key) + " (a ligature)");
            }
        if (!first)
            return;
        record.typed.insert(press.cell.ch);
        if (state.by_virtual_key) {
            if (press.cell.kind == Cell::Kind::Character)
                typed.by_virtual_key.try_emplace(press.cell.ch, typed_by(keymap, state, press.key));
            return;
        }
        if (!first->count(press.cell.ch))
            first->emplace(press.cell.ch, typed_by(keymap, state, press.key));
    };
    sweep_keyboard(keymap, visit, BrokenKeys(keymap, record, findings));
    add_chained_dead(keymap, typed);
    // What a typed dead character and a typed base compose, as the platform
    // composes: the first entry for a pair, the result a character.
    const auto &entries = keymap.tables().dead_keys;
    for (const DeadKeyEntry *e : keymap.compositions()) {
        const auto dead = static_cast<char16_t>(e->dead), base = static_cast<char16_t>(e->base);
        if ((e->flags & kDkfDead) || !typed.dead.count(dead) ||
            !(typed.direct.count(base) || typed.dead.count(base)) || typed.direct.count(e->composed))
            continue;
        typed.composed.try_emplace(e->composed, "DEADKEY[" + std::to_string(e - entries.data()) +
                                                    "]: " + character_label(dead) + " then " +
                                                    character_label(base));
    }
    const auto typed_alone = [&](char32_t ch) {
        return ch <= 0xFFFF && (typed.direct.count(static_cast<char16_t>(ch)) ||
                                typed.composed.count(static_cast<char16_t>(ch)));
    };
    for (auto it = typed.ligature.begin(); it != typed.ligature.end();)
        it = typed_alone(it->first) ? typed.ligature.erase(it) : std::next(it);
    for (auto it = typed.by_virtual_key.begin(); it != typed.by_virtual_key.end();)
        it = typed_alone(it->first) ? typed.by_virtual_key.erase(it) : std::next(it);
    return typed;
}

std::string outcome(const std::u16string &text, std::optional<char16_t> pending)
{
    std::string out = text.empty() ? "nothing" : quoted(text);
    if (pending)
        out += " and the dead " + character_label(*pending) + " still pending";
    return out;
}

void check_character(const Keymap &keymap, const ReverseLookup &lookup, char32_t ch,
                     const std::string &origin, bool direct, Findings &findings)
{
    Place place;
    place.character = ch;
    place.what = "typed by " + origin;
    const Found found = lookup.find(ch);
    if (direct && !found.platform)
        findings.error(Check::Reach, place, "the platform's reverse lookup to report a key",
                       "none");
    if (!found.way) {
        findings.error(Check::Reach, place, "a way to type it from the reverse lookup", "none");
        return;
    }
    Typist typist(keymap);
    std::u16string text;
    std::string keys;
    for (const Chord &chord : lookup.key_sequence(*found.way)) {
        if (!keys.empty())
            keys += ' ';
        keys += chord_text(chord);
        for (const Press &press : typist.chord(chord)) {
            text += press.delivery.text;
            if (press.cell.kind != Cell::Kind::Broken)
                continue;
            // A key on the way the tables cannot answer: reported by the sweep.
            findings.error(Check::Reach, place,
                           "the keys the reverse lookup reports (" + keys + ") to type it",
                           "a key the tables cannot answer: " +
                               std::string(press.cell.fault->error(keymap.tables()).what()));
            return;
        }
    }
    if (text != found.way->text(ch) || typist.pending())
        findings.error(Check::Reach, place,
                       "the keys the reverse lookup reports (" + keys + ") to type it",
                       outcome(text, typist.pending()));
}

}  // namespace

void verify_reach(const Keymap &keymap, Findings &findings)
{
    SweepRecord record;
    const Typed typed = sweep(keymap, record, findings);
    verify_cells(keymap, record, findings);
    if (!typed.by_virtual_key.empty()) {
        const auto &[ch, origin] = *typed.by_virtual_key.begin();
        Place place;
        place.what = "the character tables";
        findings.note(Check::Reach, std::move(place),
                      std::to_string(typed.by_virtual_key.size()) +
                          (typed.by_virtual_key.size() == 1 ? " character" : " characters") +
                          " that only a virtual key no scan code of the layout sends gives (" +
                          character_label(ch) + " with " + origin + " first)",
                      "the engine does not model where such a key comes from (the NLS "
                      "tables, an IME), so they are not looked up");
    }
    const ReverseLookup lookup(keymap);
    for (const auto *group : {&typed.direct, &typed.composed})
        for (const auto &[ch, origin] : *group)
            check_character(keymap, lookup, ch, origin, group == &typed.direct, findings);
    for (const auto &[ch, origin] : typed.ligature)
        check_character(keymap, lookup, ch, origin, false, findings);
}

}  // namespace wendol
