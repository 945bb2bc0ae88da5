// verify_dead_keys.cpp - dead characters and compositions: every dead
// character composes and has a name, every composition group and dead-key
// name belongs to a dead key, and each pair is listed once.
#include <map>

#include "base/text.h"
#include "table_rules.h"

namespace wendol::table_rules {

namespace {

// Dead characters that compositions marked DKF_DEAD leave pending, with the
// entry that first does.
std::map<char16_t, size_t> chained_dead(const LayoutTables &t)
{
    std::map<char16_t, size_t> chained;
    for (size_t i = 0; i < t.dead_keys.size(); ++i)
        if (t.dead_keys[i].flags & kDkfDead)
            chained.emplace(static_cast<char16_t>(t.dead_keys[i].composed), i);
    return chained;
}

}  // namespace

// Every dead character composes and has a name; every composition group
// and every dead-key name belongs to a dead key.
void check_dead_characters(const LayoutTables &t, const DeadSources &dead, Findings &findings)
{
    const std::map<char16_t, size_t> chained = chained_dead(t);
    std::map<char16_t, size_t> groups;   // dead character -> its first entry
    for (size_t i = 0; i < t.dead_keys.size(); ++i)
        groups.emplace(static_cast<char16_t>(t.dead_keys[i].dead), i);
    std::map<char16_t, size_t> names;
    for (size_t i = 0; i < t.dead_key_names.size(); ++i)
        if (!t.dead_key_names[i].empty())
            names.emplace(t.dead_key_names[i][0], i);

    for (const auto &[ch, place] : dead) {
        if (!groups.count(ch))
            findings.error(Check::DeadKeys, place,
                           "compositions for its dead character " + character_label(ch),
                           "none in the composition table");
        if (!names.count(ch))
            findings.warning(Check::DeadKeys, place,
                             "a dead-key name for its dead character " + character_label(ch),
                             "none in aKeyNamesDead",
                             "only a warning, as the name is shown, never typed");
    }
    // A DKF_DEAD result with no compositions of its own only ever comes out
    // as itself, followed by whatever is typed next.
    for (const auto &[ch, entry] : chained)
        if (!groups.count(ch))
            findings.warning(Check::DeadKeys,
                             entry_place(t, PointerSlot::DeadKey, "DEADKEY", entry, kDeadKeySize),
                             "compositions for the dead character " + character_label(ch) +
                                 " its DKF_DEAD result leaves pending",
                             "none", "it only comes out as itself before the next character");
    for (const auto &[ch, first] : groups)
        if (!dead.count(ch) && !chained.count(ch))
            findings.warning(Check::DeadKeys,
                             entry_place(t, PointerSlot::DeadKey, "DEADKEY", first, kDeadKeySize),
                             "compositions only for dead characters some key produces",
                             "a group for " + character_label(ch) + ", which no dead cell gives",
                             "only a warning, as nothing reaches it");
    for (const auto &[ch, index] : names)
        if (!dead.count(ch) && !chained.count(ch))
            findings.warning(Check::DeadKeys,
                             entry_place(t, PointerSlot::KeyNamesDead, "aKeyNamesDead", index,
                                         pointer_size(t.form)),
                             "names only for dead characters some key produces",
                             "a name for " + character_label(ch) + ", which no dead cell gives",
                             "only a warning, as nothing reaches it");
}

// The platform uses the first entry for a pair: a second is never read.
void check_composition_pairs(const Keymap &keymap, Findings &findings)
{
    const LayoutTables &t = keymap.tables();
    for (size_t i = 0; i < t.dead_keys.size(); ++i) {
        const DeadKeyEntry &e = t.dead_keys[i];
        const DeadKeyEntry *first = keymap.composition(e.dead, e.base);
        if (first != &e)
            findings.warning(Check::Compositions,
                             entry_place(t, PointerSlot::DeadKey, "DEADKEY", i, kDeadKeySize),
                             "each pair (dead character, base) once",
                             character_label(e.dead) + " + " + character_label(e.base) +
                                 " again, first at DEADKEY[" +
                                 std::to_string(first - t.dead_keys.data()) + "]",
                             "only a warning, as the platform reads the first: this entry is "
                             "never typed");
    }
}

}  // namespace wendol::table_rules
