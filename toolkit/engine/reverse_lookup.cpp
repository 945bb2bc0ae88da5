// reverse_lookup.cpp - characters back to keys, in the tables' own order.
#include "engine/reverse_lookup.h"

#include <algorithm>

#include "base/error.h"
#include "base/text.h"

#include "engine/compose.h"
#include "engine/keyboard_state.h"
#include "engine/typing.h"

namespace wendol {

namespace {

// What one of the lookup's maps holds for `ch`, or null.
template <class Char, class Value>
const Value *kept_for(const std::map<Char, Value> &kept, Char ch)
{
    auto it = kept.find(ch);
    return it == kept.end() ? nullptr : &it->second;
}

}  // namespace

std::optional<std::pair<Key, std::optional<bool>>> KeyFinder::key_for(uint8_t vk, bool shift,
                                                                      bool ctrl) const
{
    for (const auto &[scan, entry] : codes_) {
        const auto sent = static_cast<uint8_t>(entry & 0xFF);
        const std::optional<uint8_t> digit = keypad_digit(entry);
        if ((entry & kKbdMultiVk) && ctrl && (sent == kVkNumLock || sent == kVkScroll))
            continue;   // Ctrl turns these into Pause and Break
        if (sent == vk)
            return std::pair<Key, std::optional<bool>>{
                scan, digit ? std::optional<bool>(false) : std::nullopt};
        // Under Num Lock the keypad sends digits, but Shift gives the
        // navigation key back, so a digit's Shift column is out of reach.
        if (digit && *digit == vk && !shift)
            return std::pair<Key, std::optional<bool>>{scan, true};
    }
    return std::nullopt;
}

std::optional<Key> KeyFinder::plain_key_for(uint8_t vk) const
{
    for (const auto &[scan, entry] : codes_) {
        uint8_t sent = static_cast<uint8_t>(entry & 0xFF);
        if (entry & kKbdNumpad)
            continue;
        if (sent == vk || generic_key(sent) == vk)
            return Key{scan};
    }
    return std::nullopt;
}

std::u16string Way::text(char32_t ch) const
{
    if (!strokes.empty() && !strokes.back().ligature.empty())
        return strokes.back().ligature;
    return std::u16string(1, static_cast<char16_t>(ch));
}

ReverseLookup::ReverseLookup(const Keymap &keymap)
    : keymap_(keymap), keys_(keymap), caps_key_(keys_.plain_key_for(kVkCapital)),
      num_key_(keys_.plain_key_for(kVkNumLock)), kana_key_(keys_.plain_key_for(kVkKana))
{
    find_platform_matches();
    find_first_strokes();
    find_chains();
}

// The platform's walk: list order, row by row, every stored cell, the first
// match kept for each character.
void ReverseLookup::find_platform_matches()
{
    const auto &tables = keymap_.tables().char_tables;
    for (size_t t = 0; t < tables.size(); ++t) {
        std::optional<size_t> key_row;
        for (size_t r = 0; r < tables[t].rows.size(); ++r) {
            const CharRow &row = tables[t].rows[r];
            if (row.vk != kContinuationVk)
                key_row = r;
            if (!key_row)
                continue;   // a continuation row with no key above it
            for (size_t c = 0; c < row.cells.size() && c < tables[t].columns; ++c) {
                if (platform_.count(row.cells[c]))
                    continue;
                auto bits = keymap_.lowest_bits(static_cast<uint8_t>(c));
                if (!bits)
                    continue;
                PlatformMatch match;
                match.vk = tables[t].rows[*key_row].vk;
                match.bits = *bits;
                match.key_row = RowRef{t, *key_row};
                match.match_row = RowRef{t, r};
                match.column = static_cast<uint8_t>(c);
                match.role = keymap_.part(RowRef{t, r}).role;
                platform_.emplace(row.cells[c], match);
            }
        }
    }
}

// Typing's walk: each key row that is the first for its key, Caps Lock off
// then on where the row cares, the Kana lock likewise, every column a
// modifier combination reaches; the first stroke that can be made is kept
// for each character, each dead character and each character of a ligature.
void ReverseLookup::find_first_strokes()
{
    const auto &tables = keymap_.tables().char_tables;
    for (size_t t = 0; t < tables.size(); ++t) {
        for (size_t r = 0; r < tables[t].rows.size(); ++r) {
            const CharRow &row = tables[t].rows[r];
            if (row.vk == kContinuationVk || keymap_.find_row(row.vk) != RowRef{t, r})
                continue;   // a continuation, or a row an earlier one hides
            // Caps Lock changes what an SGCAPS, CAPLOK or CAPLOKALTGR key
            // gives, the Kana lock what a KANALOK key gives.
            const bool caps_matters = Keymap::caps_matters(row.attributes);
            const bool kana_matters = row.attributes & kKanaLok;
            for (bool kana : {false, true}) {
                if (kana && !kana_matters)
                    break;
                for (bool caps : {false, true}) {
                    if (caps && !caps_matters)
                        break;
                    for (unsigned column = 0; column < tables[t].columns; ++column)
                        keep_first_stroke(row, RowRef{t, r}, column, caps, kana);
                }
            }
        }
    }
}

void ReverseLookup::keep_first_stroke(const CharRow &row, RowRef ref, unsigned column, bool caps,
                                      bool kana)
{
    auto bits = keymap_.lowest_bits(static_cast<uint8_t>(column));
    if (!bits)
        return;
    const Cell cell = keymap_.cell(row.vk, *bits, caps, kana);
    if (cell.kind == Cell::Kind::Broken)
        return;   // a cell the tables cannot give types nothing to find
    // A lock is needed as it is where turning it the other way reads
    // another cell.
    const auto differs = [&](const Cell &other) {
        return other.read_row != cell.read_row || other.column != cell.column;
    };
    const auto caps_need = differs(keymap_.cell(row.vk, *bits, !caps, kana))
                               ? std::optional<bool>(caps) : std::nullopt;
    const auto kana_need = differs(keymap_.cell(row.vk, *bits, caps, !kana))
                               ? std::optional<bool>(kana) : std::nullopt;
    if (cell.kind == Cell::Kind::Ligature) {
        if (cell.ligature.empty())
            return;
        std::optional<Stroke> stroke;
        for (char32_t ch : code_points(cell.ligature)) {
            if (ligature_.count(ch))
                continue;
            if (!stroke)
                stroke = make_stroke(row.vk, *bits, caps_need, kana_need, cell);
            if (!stroke)
                return;
            stroke->key_row = ref;
            ligature_.emplace(ch, *stroke);
        }
        return;
    }
    auto *first = cell.kind == Cell::Kind::Character ? &direct_
                  : cell.kind == Cell::Kind::Dead    ? &dead_
                                                     : nullptr;
    if (!first || first->count(cell.ch))
        return;
    if (auto stroke = make_stroke(row.vk, *bits, caps_need, kana_need, cell)) {
        stroke->key_row = ref;
        first->emplace(cell.ch, *stroke);
    }
}

std::optional<Stroke> ReverseLookup::make_stroke(uint8_t vk, uint8_t bits,
                                                 std::optional<bool> caps,
                                                 std::optional<bool> kana,
                                                 const Cell &cell) const
{
    // The modifier keys whose bits make up `bits`, in the map's order.
    std::vector<uint8_t> modifiers;
    unsigned made = 0;
    for (const VkToBit &m : keymap_.modifier_keys()) {
        if (m.bits && (m.bits & ~bits) == 0 && (m.bits & ~made) != 0) {
            made |= m.bits;
            modifiers.push_back(m.vk);
        }
    }
    if (made != bits)
        return std::nullopt;

    Stroke stroke;
    bool shift = false, ctrl = false;
    for (uint8_t m : modifiers) {
        shift |= m == kVkShift;
        ctrl |= m == kVkControl;
        stroke.toggles_kana |= m == kVkKana;
        auto key = keys_.plain_key_for(m);
        if (!key)
            return std::nullopt;
        stroke.keys.push_back(*key);
    }
    auto key = keys_.key_for(vk, shift, ctrl);
    if (!key)
        return std::nullopt;
    stroke.keys.push_back(key->first);
    stroke.num_lock = key->second;
    stroke.caps_lock = caps;
    // The Kana key held as a modifier flips the lock on its way down: the
    // lock must then be the other way before the stroke.
    stroke.kana_lock = kana && stroke.toggles_kana ? std::optional<bool>(!*kana) : kana;
    if ((caps.value_or(false) && !caps_key_) || (stroke.num_lock.value_or(false) && !num_key_) ||
        (stroke.kana_lock.value_or(false) && !kana_key_))
        return std::nullopt;
    stroke.vk = vk;
    stroke.bits = bits;
    stroke.column = cell.column.value_or(0);
    stroke.dead = cell.kind == Cell::Kind::Dead;
    stroke.gives = cell.ch;
    stroke.ligature = std::u16string(cell.ligature);
    return stroke;
}

// Dead characters that compositions marked DKF_DEAD leave pending, from the
// dead keys outwards: each reached once, by the fewest strokes, so that a
// chain that leads back to a dead character already reached ends there.
void ReverseLookup::find_chains()
{
    std::map<char16_t, Chain> reached;
    std::vector<char16_t> start;
    for (const auto &[dead, stroke] : dead_) {
        reached.emplace(dead, Chain{{stroke}, {}});
        start.push_back(dead);
    }
    follow_chains(
        keymap_, start, [&](char16_t base) { return base_stroke(base) != nullptr; },
        [&](const DeadKeyEntry &entry) {
            Chain chain = reached.at(static_cast<char16_t>(entry.dead));
            chain.strokes.push_back(*base_stroke(static_cast<char16_t>(entry.base)));
            chain.entries.push_back(&entry);
            chains_.emplace(static_cast<char16_t>(entry.composed), chain);
            reached.emplace(static_cast<char16_t>(entry.composed), std::move(chain));
        });
}

// The stroke that gives `ch` as the base of a composition: a key typing it,
// or a dead key leaving it (the platform composes a pending dead character
// with the next dead key's character as with any other).
const Stroke *ReverseLookup::base_stroke(char16_t ch) const
{
    if (const Stroke *direct = kept_for(direct_, ch))
        return direct;
    return kept_for(dead_, ch);
}

Found ReverseLookup::find(char32_t ch) const
{
    Found found;
    found.ch = ch;
    // Beyond the BMP only a ligature types a character, as a surrogate pair.
    if (ch > 0xFFFF) {
        if (const Stroke *ligature = kept_for(ligature_, ch))
            found.way = Way{{*ligature}, nullptr};
        return found;
    }
    // The markers are not characters.
    if (ch == kWchNone || ch == kWchDead || ch == kWchLigature)
        return found;
    const auto unit = static_cast<char16_t>(ch);
    if (const PlatformMatch *match = kept_for(platform_, unit))
        found.platform = *match;

    if (const Stroke *stroke = kept_for(direct_, unit))
        found.way = Way{{*stroke}, nullptr};
    else if (auto way = composed_way(unit, false))
        found.way = std::move(way);
    else if (auto chained = composed_way(unit, true))
        found.way = std::move(chained);
    else if (const Stroke *ligature = kept_for(ligature_, char32_t{unit}))
        found.way = Way{{*ligature}, nullptr};
    return found;
}

// The first composition entry for `ch` whose dead character a dead key
// leaves (or, through_chains, only a chain leaves) and whose base is typed.
std::optional<Way> ReverseLookup::composed_way(char16_t ch, bool through_chains) const
{
    for (const DeadKeyEntry *entry : keymap_.compositions()) {
        if (entry->composed != ch || (entry->flags & kDkfDead))
            continue;
        const auto dead_ch = static_cast<char16_t>(entry->dead);
        const Stroke *base = base_stroke(static_cast<char16_t>(entry->base));
        if (!base)
            continue;
        if (!through_chains) {
            if (const Stroke *dead = kept_for(dead_, dead_ch))
                return Way{{*dead, *base}, entry};
        } else if (const Chain *chain = kept_for(chains_, dead_ch)) {
            Way way{chain->strokes, entry, chain->entries};
            way.strokes.push_back(*base);
            return way;
        }
    }
    return std::nullopt;
}

std::vector<std::vector<Key>> ReverseLookup::key_sequence(const Way &way) const
{
    std::vector<std::vector<Key>> sequence;
    bool caps = false, num = false, kana = false;
    for (const Stroke &stroke : way.strokes) {
        if (stroke.kana_lock && *stroke.kana_lock != kana) {
            if (kana_key_)
                sequence.push_back({*kana_key_});
            kana = *stroke.kana_lock;
        }
        if (stroke.caps_lock && *stroke.caps_lock != caps) {
            if (caps_key_)
                sequence.push_back({*caps_key_});
            caps = *stroke.caps_lock;
        }
        if (stroke.num_lock && *stroke.num_lock != num) {
            if (num_key_)
                sequence.push_back({*num_key_});
            num = *stroke.num_lock;
        }
        sequence.push_back(stroke.keys);
        kana ^= stroke.toggles_kana;
    }
    return sequence;
}

Found find_character(const Keymap &keymap, char32_t ch)
{
    return ReverseLookup(keymap).find(ch);
}

}  // namespace wendol
