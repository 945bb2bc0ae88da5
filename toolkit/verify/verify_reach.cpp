// verify_reach.cpp - what the keyboard types, looked up again: every
// character is found by the reverse lookup, and the keys it names type that
// character on a fresh keyboard.
#include <iterator>
#include <map>
#include <set>

#include "base/error.h"
#include "base/text.h"
#include "engine/key_parse.h"
#include "engine/keyboard_sweep.h"
#include "engine/reverse_lookup.h"
#include "tables/vk_names.h"
#include "verify/verify.h"
#include "verify_cells.h"

namespace wendol {

namespace {

// A layout types a few hundred characters; past this the image is noise.
constexpr size_t kMaxCharacters = 4096;

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
    uint8_t vk = 0;
    if (const auto *v = std::get_if<VirtualKey>(&key)) {
        vk = v->code;
    } else if (const auto mapped = keymap.virtual_key(std::get<ScanCode>(key))) {
        vk = static_cast<uint8_t>(*mapped & 0xFF);
        if (state.num_lock && (*mapped & kKbdNumpad))
            vk = num_lock_key(vk).value_or(vk);
    }
    return keymap.find_row(vk);
}

// Presses the tables cannot answer: one finding per key row, however many
// states press it, and the sweep goes on with the other keys.
class BrokenKeys {
public:
    BrokenKeys(const Keymap &keymap, SweepRecord &record, Findings &findings)
        : keymap_(keymap), record_(record), findings_(findings)
    {
    }

    void operator()(const SweepState &state, const Key &key, const Error &e)
    {
        const std::optional<RowRef> row = row_of(keymap_, state, key);
        if (row && !record_.broken.insert({row->table, row->row}).second)
            return;
        if (!row && !keys_.insert(key_text(key)).second)
            return;
        const std::string how = "; met typing " + typed_by(keymap_, state, key) +
                                ", so that key's characters are not checked";
        if (e.has_expectation())
            findings_.error("reach", e.context(), e.expected(), e.found() + how);
        else
            findings_.error("reach", key_text(key), "a cell the tables can give", e.what() + how);
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
            for (char16_t ch : press.cell.ligature) {
                record.typed.insert(ch);
                typed.ligature.try_emplace(ch, typed_by(keymap, state, press.key) + " (a ligature)");
            }
        if (!first)
            return;
        record.typed.insert(press.cell.ch);
        if (!first->count(press.cell.ch))
            first->emplace(press.cell.ch, typed_by(keymap, state, press.key));
    };
    sweep_keyboard(keymap, visit, BrokenKeys(keymap, record, findings));
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
    try {
        for (const Chord &chord : lookup.key_sequence(*found.way)) {
            keys += (keys.empty() ? "" : " ") + chord_text(chord);
            text += delivered(typist.chord(chord));
        }
    } catch (const Error &e) {
        // A key on the way the tables cannot answer: reported by the sweep.
        findings.error("reach", place,
                       "the keys the reverse lookup reports (" + keys + ") to type it",
                       std::string("a key the tables cannot answer: ") + e.what());
        return;
    }
    if (text != found.way->text(ch) || typist.pending())
        findings.error("reach", place,
                       "the keys the reverse lookup reports (" + keys + ") to type it",
                       outcome(text, typist.pending()));
}

}  // namespace

void verify_reach(const Keymap &keymap, Findings &findings)
{
    SweepRecord record;
    const Typed typed = sweep(keymap, record, findings);
    verify_cells(keymap, record, findings);
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
