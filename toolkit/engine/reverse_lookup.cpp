// reverse_lookup.cpp - characters back to keys, in the tables' own order.
#include "engine/reverse_lookup.h"

#include "base/error.h"

#include "engine/keyboard_state.h"
#include "engine/typing.h"

namespace wendol {

namespace {

// What one of the lookup's maps holds for `ch`, or null.
template <class Value>
const Value *kept_for(const std::map<char16_t, Value> &kept, char16_t ch)
{
    auto it = kept.find(ch);
    return it == kept.end() ? nullptr : &it->second;
}

}  // namespace

std::optional<std::pair<Key, std::optional<bool>>> KeyFinder::key_for(uint8_t vk, bool shift,
                                                                      bool ctrl) const
{
    for (const auto &[scan, entry] : codes_) {
        uint8_t sent = static_cast<uint8_t>(entry & 0xFF);
        bool numpad = (entry & kKbdNumpad) && !(entry & kKbdExt) && num_lock_key(sent);
        if ((entry & kKbdMultiVk) && ctrl && (sent == kVkNumLock || sent == kVkScroll))
            continue;   // Ctrl turns these into Pause and Break
        if (sent == vk)
            return std::pair<Key, std::optional<bool>>{
                scan, numpad ? std::optional<bool>(false) : std::nullopt};
        // Under Num Lock the keypad sends digits, but Shift gives the
        // navigation key back, so a digit's Shift column is out of reach.
        if (numpad && *num_lock_key(sent) == vk && !shift)
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

ReverseLookup::ReverseLookup(const Keymap &keymap)
    : keymap_(keymap), keys_(keymap), caps_key_(keys_.plain_key_for(kVkCapital)),
      num_key_(keys_.plain_key_for(kVkNumLock))
{
    find_platform_matches();
    find_first_strokes();
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
// then on where the row cares, every column a modifier combination reaches;
// the first stroke that can be made is kept for each character and for each
// dead character.
void ReverseLookup::find_first_strokes()
{
    const auto &tables = keymap_.tables().char_tables;
    for (size_t t = 0; t < tables.size(); ++t) {
        for (size_t r = 0; r < tables[t].rows.size(); ++r) {
            const CharRow &row = tables[t].rows[r];
            if (row.vk == kContinuationVk || keymap_.find_row(row.vk) != RowRef{t, r})
                continue;   // a continuation, or a row an earlier one hides
            // Caps Lock changes what an SGCAPS or CAPLOK key gives.
            const bool caps_matters = row.attributes & (kSgCaps | kCapLok);
            for (bool caps : {false, true}) {
                if (caps && !caps_matters)
                    break;
                for (unsigned column = 0; column < tables[t].columns; ++column) {
                    auto bits = keymap_.lowest_bits(static_cast<uint8_t>(column));
                    if (!bits)
                        continue;
                    Cell cell;
                    try {
                        cell = keymap_.cell(row.vk, *bits, caps);
                    } catch (const Error &) {
                        continue;   // a cell the tables cannot give types nothing to find
                    }
                    auto *first = cell.kind == Cell::Kind::Character ? &direct_
                                  : cell.kind == Cell::Kind::Dead    ? &dead_
                                                                     : nullptr;
                    if (!first || first->count(cell.ch))
                        continue;
                    auto caps_need = caps_matters ? std::optional<bool>(caps) : std::nullopt;
                    if (auto stroke = make_stroke(row.vk, *bits, caps_need, cell)) {
                        stroke->key_row = RowRef{t, r};
                        first->emplace(cell.ch, *stroke);
                    }
                }
            }
        }
    }
}

std::optional<Stroke> ReverseLookup::make_stroke(uint8_t vk, uint8_t bits,
                                                 std::optional<bool> caps,
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
    if ((caps.value_or(false) && !caps_key_) || (stroke.num_lock.value_or(false) && !num_key_))
        return std::nullopt;
    stroke.vk = vk;
    stroke.bits = bits;
    stroke.column = cell.column.value_or(0);
    stroke.dead = cell.kind == Cell::Kind::Dead;
    stroke.gives = cell.ch;
    return stroke;
}

Found ReverseLookup::find(char32_t ch) const
{
    Found found;
    found.ch = ch;
    // Cells are single UTF-16 units, and the markers are not characters.
    if (ch > 0xFFFF || ch == kWchNone || ch == kWchDead || ch == kWchLigature)
        return found;
    const auto unit = static_cast<char16_t>(ch);
    if (const PlatformMatch *match = kept_for(platform_, unit))
        found.platform = *match;

    if (const Stroke *stroke = kept_for(direct_, unit)) {
        found.way = Way{{*stroke}, nullptr};
        return found;
    }
    for (const DeadKeyEntry &entry : keymap_.tables().dead_keys) {
        if (entry.composed != unit || (entry.flags & kDkfDead))
            continue;
        // The platform takes the first entry for a pair; a later duplicate never composes.
        if (keymap_.composition(static_cast<char16_t>(entry.dead),
                                static_cast<char16_t>(entry.base)) != &entry)
            continue;
        const Stroke *dead = kept_for(dead_, static_cast<char16_t>(entry.dead));
        const Stroke *base = kept_for(direct_, static_cast<char16_t>(entry.base));
        if (dead && base) {
            found.way = Way{{*dead, *base}, &entry};
            break;
        }
    }
    return found;
}

std::vector<std::vector<Key>> ReverseLookup::key_sequence(const Way &way) const
{
    std::vector<std::vector<Key>> sequence;
    bool caps = false, num = false;
    for (const Stroke &stroke : way.strokes) {
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
    }
    return sequence;
}

Found find_character(const Keymap &keymap, char32_t ch)
{
    return ReverseLookup(keymap).find(ch);
}

}  // namespace wendol
