// chart_views.cpp - a key block typed key by key in a lock state.
#include "chart/chart_views.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/text.h"
#include "engine/key_names.h"
#include "engine/key_parse.h"
#include "engine/keyboard_sweep.h"
#include "engine/typing.h"
#include "tables/vk_names.h"

namespace wendol::chart {

namespace {

bool prints(const Levels &levels)
{
    return std::any_of(levels.begin(), levels.end(), [](const std::optional<Label> &l) {
        return l && l->kind != Label::Kind::Named;
    });
}

std::optional<std::u16string> caption(const Keymap &keymap, ScanCode scan, const Levels &levels)
{
    if (prints(levels))
        return std::nullopt;
    return key_name(keymap.tables(), scan);
}

bool is_lock_on(ScanCode scan, Locks locks)
{
    return (locks.caps_lock && scan == caps_lock_scan()) ||
           (locks.num_lock && scan == num_lock_scan());
}

KeyFace face(const Keymap &keymap, const KeyPlace &place, Locks locks)
{
    KeyFace key;
    key.place = place;
    key.levels = type_levels(keymap, place.scan, locks);
    key.caption = caption(keymap, place.scan, key.levels);
    key.lit = is_lock_on(place.scan, locks);
    return key;
}

std::string name_of(const Keymap &keymap, ScanCode scan)
{
    const std::optional<std::u16string> name = key_name(keymap.tables(), scan);
    return name ? utf8(*name) : key_text(scan);
}

// The extra keys the layout gives a virtual key.
ExtraKeys extra_keys(const Keymap &keymap)
{
    const auto has = [&](uint8_t code) {
        return keymap.virtual_key(ScanCode{Prefix::None, code}).has_value();
    };
    return {has(0x7D), has(0x73)};
}

std::optional<std::string> narrowed_note(const Keymap &keymap)
{
    const std::vector<Narrowed> keys = narrowed_keys(extra_keys(keymap));
    if (keys.empty())
        return std::nullopt;
    std::string narrowed, added;
    for (const Narrowed &n : keys) {
        const char *joint = narrowed.empty() ? "" : " and ";
        narrowed += joint + name_of(keymap, n.narrowed);
        added += joint + scan_id(n.added).substr(2);
    }
    return narrowed + (keys.size() == 1 ? " is" : " are") +
           " narrowed to make room for the keys that some keyboards have at " +
           (keys.size() == 1 ? "scan code " : "scan codes ") + added + ", drawn left of " +
           (keys.size() == 1 ? "it." : "them.");
}

// The columns the chart's levels read, as typing them on the A key finds.
std::set<uint8_t> drawn_columns(const Keymap &keymap)
{
    std::set<uint8_t> drawn;
    for (Level level : kLevels) {
        Typist typist(keymap);
        const std::vector<Press> presses =
            typist.chord(level_chord(ScanCode{Prefix::None, 0x1E}, level));
        if (!presses.empty() && presses.back().cell.column)
            drawn.insert(*presses.back().cell.column);
    }
    return drawn;
}

// Whether some key gives something in the column.
bool column_types(const Keymap &keymap, uint8_t column)
{
    for (unsigned vk = 0; vk < 256; ++vk) {
        const std::span<const Cell> cells = keymap.cells_of(static_cast<uint8_t>(vk));
        if (column < cells.size() && (cells[column].kind == Cell::Kind::Character ||
                                      cells[column].kind == Cell::Kind::Dead ||
                                      cells[column].kind == Cell::Kind::Ligature))
            return true;
    }
    return false;
}

// "VK_KANA+Shift": the modifier keys whose bits make `bits`.
std::string modifier_names(const Keymap &keymap, unsigned bits)
{
    std::string names;
    for (uint8_t vk : keymap.keys_making(bits))
        names += (names.empty() ? "" : "+") + (vk == kVkShift ? "Shift" : vk_label(vk));
    return names.empty() ? "modifier bits " + std::to_string(bits) : names;
}

// Columns that the layout's modifier keys select beyond the four levels
// the chart draws, named after those keys.  Ctrl without Alt is left off as
// ever (it gives control characters); the column is the one the keymap's
// lookup reads, Alt cleared where the platform clears it.
std::optional<std::string> undrawn_levels_note(const Keymap &keymap)
{
    const std::set<uint8_t> drawn = drawn_columns(keymap);
    const Modifiers &m = keymap.tables().modifiers;
    std::map<uint8_t, unsigned> undrawn;   // each column, the lowest bits selecting it
    for (unsigned bits = 0; bits <= m.max_mod_bits && bits < m.mod_number.size(); ++bits) {
        if ((bits & kKbdCtrl) && !(bits & kKbdAlt))
            continue;
        const std::optional<uint8_t> column = keymap.cell('A', bits, false).column;
        if (column && !drawn.count(*column) && !undrawn.count(*column) &&
            column_types(keymap, *column))
            undrawn.emplace(*column, bits);
    }
    if (undrawn.empty())
        return std::nullopt;
    std::string columns;
    for (auto it = undrawn.begin(); it != undrawn.end(); ++it) {
        const char *joint = it == undrawn.begin() ? "" : std::next(it) == undrawn.end() ? " and " : ", ";
        columns += joint + ("column " + std::to_string(it->first)) + " (" +
                   modifier_names(keymap, it->second) + ")";
    }
    return "Not drawn: " + columns +
           ", which the layout's modifier keys select too; the chart draws plain, Shift, AltGr "
           "and AltGr+Shift, and wendol type gives the rest.";
}

std::vector<std::string> alphanumeric_notes(const Keymap &keymap)
{
    std::vector<std::string> notes = {
        "Letters show the small letter and the capital, so that the layers can be told apart."};
    if (std::optional<std::string> note = narrowed_note(keymap))
        notes.push_back(*note);
    if (std::optional<std::string> note = undrawn_levels_note(keymap))
        notes.push_back(*note);
    return notes;
}

bool has_sgcaps_rows(const Keymap &keymap)
{
    for (unsigned vk = 0; vk < 256; ++vk)
        if (!keymap.cells_of(static_cast<uint8_t>(vk), true).empty())
            return true;
    return false;
}

View typed_view(const Keymap &keymap, const KeyBlock &block, Locks locks)
{
    View view;
    view.locks = locks;
    view.width = block.width;
    view.height = block.height;
    std::string broken;
    for (const KeyPlace &place : block.keys) {
        view.keys.push_back(face(keymap, place, locks));
        if (broken_somewhere(keymap, place.scan, locks))
            broken += (broken.empty() ? "" : ", ") + name_of(keymap, place.scan);
    }
    if (!broken.empty())
        view.notes.push_back("The tables cannot answer " + broken +
                             " at some levels (wendol verify tells how): left blank there.");
    return view;
}

}  // namespace

// "caps-lock", or "shift-lock" where the lock is a Shift lock.
std::string lock_slug(const Keymap &keymap)
{
    return keymap.shift_lock() ? "shift-lock" : "caps-lock";
}

View lock_off_view(const Keymap &keymap)
{
    View view = typed_view(keymap, alphanumeric_block(extra_keys(keymap)), Locks{});
    view.lock = caps_lock_name(keymap);
    view.slug = lock_slug(keymap) + "-off";
    view.title = std::string(caps_lock_name(keymap)) + " off";
    const std::vector<std::string> notes = alphanumeric_notes(keymap);
    view.notes.insert(view.notes.begin(), notes.begin(), notes.end());
    return view;
}

View lock_on_view(const Keymap &keymap)
{
    View view = typed_view(keymap, alphanumeric_block(extra_keys(keymap)), Locks{.caps_lock = true});
    view.lock = caps_lock_name(keymap);
    view.slug = lock_slug(keymap) + "-on";
    view.title = std::string(caps_lock_name(keymap)) + " on";
    const std::vector<std::string> notes = alphanumeric_notes(keymap);
    view.notes.insert(view.notes.begin(), notes.begin(), notes.end());
    if (has_sgcaps_rows(keymap))
        view.notes.push_back(std::string("With AltGr or Ctrl held, ") + caps_lock_name(keymap) +
                             " leaves a key that has a row of its own for the lock as it is "
                             "without it: AltGr gives what it gives with the lock off.");
    return view;
}

View keypad_view(const Keymap &keymap)
{
    View view = typed_view(keymap, keypad_block(), Locks{.num_lock = true});
    view.lock = caps_lock_name(keymap);
    view.slug = "keypad";
    view.title = "Keypad, Num Lock on";
    const Locks caps{.caps_lock = true, .num_lock = true};
    for (KeyFace &key : view.keys) {
        Levels with_caps = type_levels(keymap, key.place.scan, caps);
        if (with_caps != key.levels)
            key.caps_levels = std::move(with_caps);
    }
    return view;
}

ViewContents contents(const View &view)
{
    ViewContents seen;
    auto note = [&seen](const Levels &levels) {
        for (const std::optional<Label> &label : levels) {
            if (!label)
                continue;
            if (label->kind == Label::Kind::Dead && !seen.first_dead && !label->text.empty())
                seen.first_dead = label->text.front();
            seen.named |= label->kind == Label::Kind::Named;
            seen.through_virtual_key |= label->through_virtual_key;
        }
    };
    for (const KeyFace &key : view.keys) {
        note(key.levels);
        if (key.caps_levels) {
            note(*key.caps_levels);
            seen.caps_variants = true;
        }
        seen.captions |= key.caption.has_value();
        seen.lit |= key.lit;
    }
    return seen;
}

}  // namespace wendol::chart
