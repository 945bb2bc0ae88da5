// typing_compare.h - two layouts compared by what a typist gets from them:
// every scan code either sends, pressed with every combination of the
// physical modifier keys (both Shifts, both Ctrls, both Alts, and the Kana
// key where a layout has one) under each lock state; then every dead key so
// found followed by every character either types; and every key's name.
// The layouts may differ in their tables (a modifier key of their own, the
// bits and columns) and still type the same: only what is typed counts.
#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "engine/key_names.h"
#include "engine/key_parse.h"
#include "engine/keymap.h"
#include "engine/typing.h"

namespace wendol::test {

// A key pressed, as the comparison tells it.
struct ComparedPress {
    std::vector<Key> held;     // the modifier keys, in pressing order
    bool caps_lock = false;
    bool kana_lock = false;
    ScanCode key;
};

// One place where the two layouts type differently.
struct TypingDifference {
    enum class Kind { Press, Composition, KeyName };
    Kind kind = Kind::Press;
    ComparedPress press;              // Press
    char16_t dead = 0, next = 0;      // Composition
    ScanCode scan;                    // KeyName
    std::u16string original, built;   // what each gave ("" for nothing)
    std::optional<char16_t> original_pending, built_pending;

    bool holds(const Key &k) const
    {
        return std::find(press.held.begin(), press.held.end(), k) != press.held.end();
    }
};

constexpr ScanCode kLeftShift{Prefix::None, 0x2A}, kRightShift{Prefix::None, 0x36};
constexpr ScanCode kLeftCtrl{Prefix::None, 0x1D}, kRightCtrl{Prefix::E0, 0x1D};
constexpr ScanCode kLeftAlt{Prefix::None, 0x38}, kRightAlt{Prefix::E0, 0x38};
constexpr ScanCode kCapsLockKey{Prefix::None, 0x3A};

inline bool has_modifier_vk(const Keymap &keymap, uint8_t vk)
{
    for (const VkToBit &k : keymap.modifier_keys())
        if (k.vk == vk)
            return true;
    return false;
}

struct Typed1 {
    std::u16string text;
    std::optional<char16_t> pending;
    bool operator==(const Typed1 &) const = default;
};

inline Typed1 type_press(const Keymap &keymap, const ComparedPress &p)
{
    Typist typist(keymap);
    if (p.caps_lock) {
        typist.press(kCapsLockKey);
        typist.release(kCapsLockKey);
    }
    if (p.kana_lock) {
        typist.press(VirtualKey{kVkKana});
        typist.release(VirtualKey{kVkKana});
    }
    for (const Key &k : p.held)
        typist.press(k);
    const Press press = typist.press(p.key);
    return {press.delivery.text, press.delivery.pending};
}

inline std::set<std::pair<uint8_t, uint8_t>> scan_set(const Keymap &a, const Keymap &b)
{
    std::set<std::pair<uint8_t, uint8_t>> out;
    for (const Keymap *k : {&a, &b})
        for (const auto &[sc, vk] : k->scan_codes())
            out.insert({static_cast<uint8_t>(sc.prefix), sc.code});
    return out;
}

inline std::vector<TypingDifference> compare_typing(const Keymap &original, const Keymap &built)
{
    std::vector<TypingDifference> out;
    std::vector<Key> modifiers = {kLeftShift, kRightShift, kLeftCtrl, kRightCtrl, kLeftAlt, kRightAlt};
    // Every other modifier key of either layout, by a scan code that sends
    // it where one does (the right Alt key is already there).
    for (const Keymap *k : {&original, &built})
        for (const VkToBit &m : k->modifier_keys()) {
            if (m.vk == kVkShift || m.vk == kVkControl || m.vk == kVkMenu || modifiers.size() >= 8)
                continue;
            Key key = VirtualKey{m.vk};
            for (const auto &[sc, vk] : k->scan_codes())
                if ((vk & 0xFF) == m.vk) {
                    key = sc;
                    break;
                }
            if (std::find(modifiers.begin(), modifiers.end(), key) == modifiers.end())
                modifiers.push_back(key);
        }
    const bool kana_lock = original.has_kana_lock_rows() || built.has_kana_lock_rows();
    std::set<char16_t> typed_chars, dead_chars;
    const auto scans = scan_set(original, built);
    for (unsigned combo = 0; combo < (1u << modifiers.size()); ++combo) {
        ComparedPress p;
        for (size_t i = 0; i < modifiers.size(); ++i)
            if (combo & (1u << i))
                p.held.push_back(modifiers[i]);
        for (int locks = 0; locks < (kana_lock ? 4 : 2); ++locks) {
            p.caps_lock = locks & 1;
            p.kana_lock = locks & 2;
            for (const auto &[prefix, code] : scans) {
                p.key = {static_cast<Prefix>(prefix), code};
                if (std::find(p.held.begin(), p.held.end(), Key(p.key)) != p.held.end() ||
                    p.key == kCapsLockKey)
                    continue;
                const Typed1 a = type_press(original, p), b = type_press(built, p);
                for (const Typed1 *t : {&a, &b}) {
                    for (char16_t c : t->text)
                        typed_chars.insert(c);
                    if (t->pending)
                        dead_chars.insert(*t->pending);
                }
                if (!(a == b)) {
                    TypingDifference d;
                    d.press = p;
                    d.original = a.text;
                    d.built = b.text;
                    d.original_pending = a.pending;
                    d.built_pending = b.pending;
                    out.push_back(std::move(d));
                }
            }
        }
    }
    for (char16_t dead : dead_chars)
        for (char16_t next : typed_chars) {
            const DeadKeyEntry *a = original.composition(dead, next), *b = built.composition(dead, next);
            const bool same = (!a && !b) || (a && b && a->composed == b->composed &&
                                              (a->flags & 1) == (b->flags & 1));
            if (same)
                continue;
            TypingDifference d;
            d.kind = TypingDifference::Kind::Composition;
            d.dead = dead;
            d.next = next;
            if (a)
                d.original = std::u16string(1, a->composed);
            if (b)
                d.built = std::u16string(1, b->composed);
            out.push_back(std::move(d));
        }
    for (const auto &[prefix, code] : scans) {
        const ScanCode sc{static_cast<Prefix>(prefix), code};
        const std::optional<std::u16string> a = key_name(original.tables(), sc),
                                            b = key_name(built.tables(), sc);
        if (a != b) {
            TypingDifference d;
            d.kind = TypingDifference::Kind::KeyName;
            d.scan = sc;
            d.original = a.value_or(u"");
            d.built = b.value_or(u"");
            out.push_back(std::move(d));
        }
    }
    for (char16_t dead : dead_chars) {
        const std::optional<std::u16string> a = dead_key_name(original.tables(), dead),
                                            b = dead_key_name(built.tables(), dead);
        if (a != b) {
            TypingDifference d;
            d.kind = TypingDifference::Kind::KeyName;
            d.dead = dead;
            d.original = a.value_or(u"");
            d.built = b.value_or(u"");
            out.push_back(std::move(d));
        }
    }
    return out;
}

inline std::string difference_text(const TypingDifference &d)
{
    // The chord as the toolkit writes one: "LCtrl+LAlt+q".
    Chord chord = d.press.held;
    chord.push_back(d.press.key);
    const std::string keys = chord_text(chord);
    switch (d.kind) {
    case TypingDifference::Kind::Composition:
        return "compose " + code_point_text(d.dead) + " " + code_point_text(d.next) + ": " +
               wendol::quoted(d.original) + " vs " + wendol::quoted(d.built);
    case TypingDifference::Kind::KeyName:
        return "name of " + key_text(d.scan) + ": " + wendol::quoted(d.original) + " vs " + wendol::quoted(d.built);
    default:
        return keys + (d.press.caps_lock ? " caps" : "") + (d.press.kana_lock ? " kana" : "") + ": " +
               wendol::quoted(d.original) + (d.original_pending ? "+dead" : "") + " vs " + wendol::quoted(d.built) +
               (d.built_pending ? "+dead" : "");
    }
}

}  // namespace wendol::test
