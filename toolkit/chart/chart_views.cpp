// chart_views.cpp - a key block typed key by key in a lock state.
#include "chart/chart_views.h"

#include <algorithm>
#include <cctype>

#include "base/text.h"
#include "engine/key_names.h"
#include "engine/key_parse.h"
#include "engine/keyboard_sweep.h"
#include "engine/typing.h"

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

bool is_held(ScanCode scan, const Layer &layer)
{
    return std::find(layer.held.begin(), layer.held.end(), Key{scan}) != layer.held.end();
}

KeyFace face(const Keymap &keymap, const KeyPlace &place, Locks locks, const Layer &layer)
{
    KeyFace key;
    key.place = place;
    key.levels = type_levels(keymap, place.scan, locks, layer);
    key.caption = caption(keymap, place.scan, key.levels);
    key.lit = is_lock_on(place.scan, locks) || is_held(place.scan, layer);
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

std::vector<std::string> alphanumeric_notes(const Keymap &keymap)
{
    std::vector<std::string> notes = {
        "Letters show the small letter and the capital, so that the layers can be told apart."};
    if (std::optional<std::string> note = narrowed_note(keymap))
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

View typed_view(const Keymap &keymap, const KeyBlock &block, Locks locks,
                const Layer &layer = {})
{
    View view;
    view.locks = locks;
    view.layer = layer;
    view.width = block.width;
    view.height = block.height;
    std::string broken;
    for (const KeyPlace &place : block.keys) {
        view.keys.push_back(face(keymap, place, locks, layer));
        if (broken_somewhere(keymap, place.scan, locks, layer))
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

// "Kana+Oya held" as an id: "kana-oya-held".
std::string layer_slug(const std::string &name)
{
    std::string slug;
    for (unsigned char c : name + " held") {
        if (std::isalnum(c))
            slug += static_cast<char>(std::tolower(c));
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
    }
    return slug;
}

View layer_view(const Keymap &keymap, const Layer &layer)
{
    View view = typed_view(keymap, alphanumeric_block(extra_keys(keymap)), Locks{}, layer);
    view.lock = caps_lock_name(keymap);
    view.slug = layer_slug(layer.name);
    view.title = layer.name + " held";
    if (std::optional<std::string> note = narrowed_note(keymap))
        view.notes.insert(view.notes.begin(), *note);
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
        for (size_t i = 0; i < levels.size(); ++i) {
            const std::optional<Label> &label = levels[i];
            if (!label)
                continue;
            seen.levels[i] = true;
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
