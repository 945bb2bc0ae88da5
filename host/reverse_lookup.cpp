// reverse_lookup.cpp - characters back to keys, in the tables' own order.
#include "reverse_lookup.h"

#include "keyboard_state.h"
#include "typing.h"

namespace wendol {

namespace {

bool has_dead_cell(const CharRow &row)
{
    for (uint16_t cell : row.cells)
        if (cell == kWchDead)
            return true;
    return false;
}

// Each row's part: a key row, its Caps Lock row, its dead-character row, or
// a continuation row that belongs to nothing.
std::vector<RowRole> row_roles(const CharTable &table)
{
    const auto &rows = table.rows;
    std::vector<RowRole> roles(rows.size(), RowRole::Stray);
    auto continuation = [&](size_t r) { return r < rows.size() && rows[r].vk == kContinuationVk; };
    for (size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].vk == kContinuationVk)
            continue;
        roles[r] = RowRole::KeyRow;
        size_t last = r, next = r + 1;
        if ((rows[r].attributes & kSgCaps) && continuation(next)) {
            // The Caps Lock row also holds the key row's dead characters.
            roles[next] = RowRole::CapsLock;
            last = next++;
        }
        if (has_dead_cell(rows[last]) && continuation(next))
            roles[next] = RowRole::DeadCharacters;
    }
    return roles;
}

// Physical keys and the locks they need.
class KeyFinder {
public:
    explicit KeyFinder(const Keymap &keymap) : codes_(keymap.scan_codes()) {}

    // A key that sends `vk` with these modifiers held, with the Num Lock
    // state it needs.
    std::optional<std::pair<Key, std::optional<bool>>> key_for(uint8_t vk, bool shift,
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

    // A key that sends `vk` whatever the locks, for modifiers and locks.
    std::optional<Key> plain_key_for(uint8_t vk) const
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

private:
    std::vector<std::pair<ScanCode, uint16_t>> codes_;
};

class Search {
public:
    explicit Search(const Keymap &keymap) : keymap_(keymap), keys_(keymap) {}

    // The first key, column and Caps Lock state whose cell is `kind` with `ch`.
    std::optional<Stroke> first_stroke(Cell::Kind kind, char16_t ch) const
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
                        Cell cell = keymap_.cell(row.vk, *bits, caps);
                        if (cell.kind != kind || cell.ch != ch)
                            continue;
                        auto caps_need = caps_matters ? std::optional<bool>(caps) : std::nullopt;
                        if (auto stroke = make_stroke(row.vk, *bits, caps_need, cell)) {
                            stroke->key_row = RowRef{t, r};
                            return stroke;
                        }
                    }
                }
            }
        }
        return std::nullopt;
    }

    std::optional<Key> caps_key() const { return keys_.plain_key_for(kVkCapital); }
    std::optional<Key> num_key() const { return keys_.plain_key_for(kVkNumLock); }

private:
    std::optional<Stroke> make_stroke(uint8_t vk, uint8_t bits, std::optional<bool> caps,
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
        if ((caps.value_or(false) && !caps_key()) || (stroke.num_lock.value_or(false) && !num_key()))
            return std::nullopt;
        stroke.vk = vk;
        stroke.bits = bits;
        stroke.column = cell.column.value_or(0);
        stroke.dead = cell.kind == Cell::Kind::Dead;
        stroke.gives = cell.ch;
        return stroke;
    }

    const Keymap &keymap_;
    KeyFinder keys_;
};

std::optional<PlatformMatch> platform_match(const Keymap &keymap, char16_t ch)
{
    const auto &tables = keymap.tables().char_tables;
    for (size_t t = 0; t < tables.size(); ++t) {
        const auto roles = row_roles(tables[t]);
        std::optional<size_t> key_row;
        for (size_t r = 0; r < tables[t].rows.size(); ++r) {
            const CharRow &row = tables[t].rows[r];
            if (row.vk != kContinuationVk)
                key_row = r;
            if (!key_row)
                continue;   // a continuation row with no key above it
            for (size_t c = 0; c < row.cells.size() && c < tables[t].columns; ++c) {
                if (row.cells[c] != ch)
                    continue;
                auto bits = keymap.lowest_bits(static_cast<uint8_t>(c));
                if (!bits)
                    continue;
                PlatformMatch match;
                match.vk = tables[t].rows[*key_row].vk;
                match.bits = *bits;
                match.key_row = RowRef{t, *key_row};
                match.match_row = RowRef{t, r};
                match.column = static_cast<uint8_t>(c);
                match.role = roles[r];
                return match;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

Found find_character(const Keymap &keymap, char32_t ch)
{
    Found found;
    found.ch = ch;
    // Cells are single UTF-16 units, and the markers are not characters.
    if (ch > 0xFFFF || ch == kWchNone || ch == kWchDead || ch == kWchLigature)
        return found;
    const auto unit = static_cast<char16_t>(ch);
    found.platform = platform_match(keymap, unit);

    Search search(keymap);
    if (auto stroke = search.first_stroke(Cell::Kind::Character, unit)) {
        found.way = Way{{*stroke}, nullptr};
        return found;
    }
    for (const DeadKeyEntry &entry : keymap.tables().dead_keys) {
        if (entry.composed != unit || (entry.flags & kDkfDead))
            continue;
        // The platform takes the first entry for a pair; a later duplicate never composes.
        if (keymap.composition(static_cast<char16_t>(entry.dead),
                               static_cast<char16_t>(entry.base)) != &entry)
            continue;
        auto dead = search.first_stroke(Cell::Kind::Dead, static_cast<char16_t>(entry.dead));
        auto base = search.first_stroke(Cell::Kind::Character, static_cast<char16_t>(entry.base));
        if (dead && base) {
            found.way = Way{{*dead, *base}, &entry};
            break;
        }
    }
    return found;
}

std::vector<std::vector<Key>> key_sequence(const Keymap &keymap, const Way &way)
{
    Search search(keymap);
    std::vector<std::vector<Key>> sequence;
    bool caps = false, num = false;
    for (const Stroke &stroke : way.strokes) {
        if (stroke.caps_lock && *stroke.caps_lock != caps) {
            if (auto key = search.caps_key())
                sequence.push_back({*key});
            caps = *stroke.caps_lock;
        }
        if (stroke.num_lock && *stroke.num_lock != num) {
            if (auto key = search.num_key())
                sequence.push_back({*key});
            num = *stroke.num_lock;
        }
        sequence.push_back(stroke.keys);
    }
    return sequence;
}

}  // namespace wendol
