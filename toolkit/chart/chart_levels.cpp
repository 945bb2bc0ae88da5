// chart_levels.cpp - typing a key at a level, as a person would: locks
// first, then the modifiers held while the key goes down.
#include "chart/chart_levels.h"

#include "base/text.h"
#include "engine/typing.h"

namespace wendol::chart {

namespace {

ScanCode named_key(const char *name)
{
    return std::get<ScanCode>(parse_key(name));
}

bool has_shift(Level level)
{
    return level == Level::Shift || level == Level::AltGrShift;
}

bool has_altgr(Level level)
{
    return level == Level::AltGr || level == Level::AltGrShift;
}

Chord modifiers(Level level)
{
    Chord chord;
    if (has_altgr(level))
        chord.push_back(named_key("AltGr"));
    if (has_shift(level))
        chord.push_back(named_key("Shift"));
    return chord;
}

Typist locked_keyboard(const Keymap &keymap, Locks locks)
{
    Typist typist(keymap);
    if (locks.num_lock)
        typist.chord({num_lock_scan()});
    if (locks.caps_lock)
        typist.chord({caps_lock_scan()});
    return typist;
}

bool is_named(const std::u16string &text)
{
    return text.size() == 1 && invisible_name(text.front()) != nullptr;
}

std::optional<Label> label_of(const Press &press)
{
    switch (press.cell.kind) {
    case Cell::Kind::Dead:
        return Label{Label::Kind::Dead, std::u16string(1, press.cell.ch), false};
    case Cell::Kind::Character: {
        const std::u16string &text = press.delivery.text;
        return Label{is_named(text) ? Label::Kind::Named : Label::Kind::Character, text, false};
    }
    case Cell::Kind::Ligature:   // the key types its characters at once
        if (press.delivery.text.empty())
            return std::nullopt;
        return Label{Label::Kind::Character, press.delivery.text, false};
    default:
        return std::nullopt;
    }
}

// The layer's keys, then the level's, then the key.
Chord chord_of(const Key &key, Level level, const Chord &held)
{
    Chord chord = held;
    const Chord levels = modifiers(level);
    chord.insert(chord.end(), levels.begin(), levels.end());
    chord.push_back(key);
    return chord;
}

Press press_at(const Keymap &keymap, const Key &key, Level level, Locks locks, const Chord &held)
{
    Typist typist = locked_keyboard(keymap, locks);
    return typist.chord(chord_of(key, level, held)).back();
}

std::optional<Label> text_label(const Press &press)
{
    if (press.cell.system)
        return std::nullopt;
    return label_of(press);
}

}  // namespace

const char *level_class(Level level)
{
    switch (level) {
    case Level::Plain: return "plain";
    case Level::Shift: return "shift";
    case Level::AltGr: return "altgr";
    case Level::AltGrShift: return "altgr-shift";
    }
    return "";
}

const char *level_text(Level level)
{
    switch (level) {
    case Level::Plain: return "plain";
    case Level::Shift: return "Shift";
    case Level::AltGr: return "AltGr";
    case Level::AltGrShift: return "AltGr+Shift";
    }
    return "";
}

std::string level_name(const Layer &layer, Level level)
{
    if (layer.name.empty())
        return level_text(level);
    return level == Level::Plain ? layer.name : layer.name + "+" + level_text(level);
}

std::string shown_text(const Label &label)
{
    if (label.kind != Label::Kind::Named)
        return utf8(label.text);
    std::string names;
    for (char16_t c : label.text) {
        const char *name = invisible_name(c);
        if (!names.empty())
            names += ' ';
        names += name ? std::string(name) : code_point_text(c);
    }
    return names;
}

std::string code_points(const std::u16string &text)
{
    std::string out;
    for (char16_t c : text) {
        if (!out.empty())
            out += ' ';
        out += code_point_text(c);
    }
    return out;
}

Chord level_chord(ScanCode key, Level level, const Chord &held)
{
    return chord_of(key, level, held);
}

std::optional<Label> type_level(const Keymap &keymap, ScanCode key, Level level, Locks locks,
                                const Chord &held)
{
    const Press press = press_at(keymap, key, level, locks, held);
    if (press.translation.rule != Translation::Rule::ShiftNavigation)
        return text_label(press);

    // Shift took the digit away: ask what the digit's own virtual key gives
    // with Shift, which is what the keypad's Shift level holds.
    const std::optional<uint8_t> digit = num_lock_key(press.translation.vk);
    if (!digit)
        return std::nullopt;
    std::optional<Label> label =
        text_label(press_at(keymap, VirtualKey{*digit}, level, locks, held));
    if (label)
        label->through_virtual_key = true;
    return label;
}

bool broken_somewhere(const Keymap &keymap, ScanCode key, Locks locks, const Layer &layer)
{
    for (size_t i = 0; i < kLevels.size(); ++i)
        if (layer.levels[i] &&
            press_at(keymap, key, kLevels[i], locks, layer.held).cell.kind == Cell::Kind::Broken)
            return true;
    return false;
}

Levels type_levels(const Keymap &keymap, ScanCode key, Locks locks, const Layer &layer)
{
    Levels levels;
    for (size_t i = 0; i < kLevels.size(); ++i)
        if (layer.levels[i])
            levels[i] = type_level(keymap, key, kLevels[i], locks, layer.held);
    return levels;
}

ScanCode caps_lock_scan()
{
    return named_key("CapsLock");
}

ScanCode num_lock_scan()
{
    return named_key("NumLock");
}

}  // namespace wendol::chart
