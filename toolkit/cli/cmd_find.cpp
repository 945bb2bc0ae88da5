// cmd_find.cpp - `wendol find FILE CHAR`: which key the platform reports for
// a character, and the whole way to type it.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>

#include "base/numbers.h"
#include "base/text.h"
#include "commands.h"
#include "json_writer.h"
#include "engine/key_parse.h"
#include "engine/keyboard_sweep.h"
#include "engine/reverse_lookup.h"
#include "tables/tables.h"
#include "tables/vk_names.h"

namespace wendol::cli {

namespace {

// "C0 AF": bytes that are not UTF-8, named rather than sent to the terminal.
std::string byte_text(std::string_view bytes)
{
    std::string text;
    for (char b : bytes) {
        char buffer[4];
        std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned char>(b));
        if (!text.empty())
            text += ' ';
        text += buffer;
    }
    return text;
}

bool is_utf8(std::string_view text)
{
    while (!text.empty()) {
        const Utf8Sequence sequence = decode_utf8(text);
        if (!sequence.valid)
            return false;
        text.remove_prefix(sequence.length);
    }
    return true;
}

// "U+00E9", or one character in well-formed UTF-8.
char32_t parse_character(const std::string &text)
{
    const std::string wanted = "a single character, or U+ and its code point in hex";
    if (text.size() > 2 && (text[0] == 'U' || text[0] == 'u') && text[1] == '+') {
        // Six hex digits are enough for every code point.
        const std::string_view digits = std::string_view(text).substr(2);
        const ParsedNumber number = read_number(digits, NumberForm::Hex, 0x10FFFF);
        if (digits.size() > 6 || number.fault == NumberFault::Malformed)
            throw UsageError("expected " + wanted + ", found \"" + text + "\"");
        if (number.fault == NumberFault::TooLarge)
            throw UsageError("expected a code point up to U+10FFFF, found \"" + text + "\"");
        return static_cast<char32_t>(number.value);
    }
    if (!is_utf8(text))
        throw UsageError("expected " + wanted + " in UTF-8, found the bytes " + byte_text(text) +
                         ", which are not UTF-8");
    const Utf8Sequence first = decode_utf8(text);
    if (text.empty() || first.length != text.size())
        throw UsageError("expected " + wanted + ", found \"" + text + "\"");
    return first.code_point;
}

std::string modifier_text(const Keymap &keymap, uint8_t bits)
{
    std::string names;
    for (uint8_t vk : keymap.keys_making(bits)) {
        if (!names.empty())
            names += '+';
        names += vk_label(vk);
    }
    return std::to_string(bits) + " (" + (names.empty() ? "none" : names) + ")";
}

const char *role_text(RowRole role)
{
    switch (role) {
    case RowRole::KeyRow: return "in its key row";
    case RowRole::CapsLock: return "in its Caps Lock row";
    case RowRole::DeadCharacters: return "in its dead-character row";
    default: return "in a continuation row that belongs to no key";
    }
}

// The character itself where it prints, its name where it does not.
std::string glyph(char32_t c)
{
    const char *name = invisible_name(c);
    return name ? name : utf8(c);
}

std::string stroke_text(const Stroke &stroke, const std::string &keys, const std::string &lock)
{
    std::string text;
    if (stroke.caps_lock)
        text += "with " + lock + (*stroke.caps_lock ? " on, " : " off, ");
    if (stroke.num_lock)
        text += *stroke.num_lock ? "with Num Lock on, " : "with Num Lock off, ";
    if (stroke.kana_lock)
        text += *stroke.kana_lock ? "with the Kana lock on, " : "with the Kana lock off, ";
    text += keys;
    if (!stroke.ligature.empty()) {
        std::string chars;
        for (char16_t c : stroke.ligature)
            chars += glyph(c);
        const size_t n = stroke.ligature.size();
        return text + " (types " + std::to_string(n) + (n == 1 ? " character: " : " characters: ") +
               chars + ")";
    }
    text += stroke.dead ? " (dead " + glyph(stroke.gives) + ")" : " (" + glyph(stroke.gives) + ")";
    return text;
}

// The cell, in the column the platform reports, of the key it reports, that
// the tables cannot answer.
const Cell *broken_cell(const Keymap &keymap, const Found &found)
{
    if (!found.platform)
        return nullptr;
    for (bool caps_row : {false, true})
        for (const Cell &cell : keymap.cells_of(found.platform->vk, caps_row))
            if (cell.kind == Cell::Kind::Broken && cell.column == found.platform->column)
                return &cell;
    return nullptr;
}

// Whether the key sends one of the virtual keys.
bool sends(const Keymap &keymap, const Key &key, std::initializer_list<uint8_t> vks)
{
    const uint8_t vk = keymap.translate(key, false, false, false).vk;
    return std::find(vks.begin(), vks.end(), vk) != vks.end();
}

// The chord as the layout's users say it: where the right Alt key is AltGr
// (KLLF_ALTGR), Ctrl and Alt held together are "AltGr".
std::string said(const Keymap &keymap, const Chord &chord)
{
    if (!keymap.right_alt_is_altgr())
        return chord_text(chord);
    Chord rest;
    bool ctrl = false, alt = false;
    for (const Key &key : chord) {
        if (!ctrl && sends(keymap, key, {kVkControl, kVkLControl, kVkRControl}))
            ctrl = true;
        else if (!alt && sends(keymap, key, {kVkMenu, kVkLMenu}))
            alt = true;
        else
            rest.push_back(key);
    }
    if (!ctrl || !alt || rest.empty())
        return chord_text(chord);
    return "AltGr+" + chord_text(rest);
}

std::string sequence_text(const std::vector<Chord> &sequence,
                          const std::function<std::string(const Chord &)> &text)
{
    std::string out;
    for (const Chord &chord : sequence)
        append_item(out, text(chord));
    return out;
}

// Everything `find` says, gathered once for the text and the JSON alike.
struct Answer {
    char32_t ch = 0;
    std::optional<std::string> notice;
    const Found *found = nullptr;
    std::vector<std::string> strokes;   // each stroke as the users say it
    std::string keys;                    // the key sequence, as they say it
    std::string ctrl_alt_keys;           // the same with Ctrl+Alt, where that differs
    std::optional<std::string> broken;   // the fault of the key that holds it
};

void print_text(std::ostream &out, const Keymap &keymap, const Answer &a)
{
    const Found &found = *a.found;
    if (a.notice)
        out << *a.notice << '\n';
    out << character_label(a.ch) << '\n';
    if (const auto &p = found.platform) {
        out << "  the platform reports: " << vk_label(p->vk) << ", modifier bits "
            << modifier_text(keymap, p->bits) << "\n    (column " << int(p->column)
            << " of table " << p->match_row.table + 1 << " row " << p->match_row.row << ", "
            << role_text(p->role) << ")\n";
    } else {
        out << "  the platform reports: no key (no character table holds it)\n";
    }
    if (const auto &way = found.way) {
        out << "  to type it: ";
        for (size_t i = 0; i < a.strokes.size(); ++i)
            out << (i ? ", then " : "") << a.strokes[i];
        // A chain's DKF_DEAD compositions first, each leaving a dead character.
        for (const DeadKeyEntry *step : way->chain)
            out << ": " << glyph(step->dead) << " + " << glyph(step->base) << " leaves dead "
                << glyph(step->composed);
        if (way->composition)
            out << ": " << glyph(way->composition->dead) << " + " << glyph(way->composition->base)
                << " composes " << glyph(way->composition->composed);
        out << "\n  keys: " << a.keys << "   (from no lock on)\n";
        if (a.ctrl_alt_keys != a.keys)
            out << "  or, AltGr being Ctrl+Alt: " << a.ctrl_alt_keys << '\n';
    } else if (a.broken) {
        // The key holds it, but the tables cannot answer the key there.
        out << "  to type it: none; the tables cannot answer the key that holds it (" << *a.broken
            << "); wendol verify tells more\n";
    } else {
        out << "  to type it: no key or dead-key sequence gives it\n";
    }
}

void write_entry(JsonWriter &json, const DeadKeyEntry &e)
{
    json.begin_object();
    json.member("dead", code_point_text(e.dead));
    json.member("base", code_point_text(e.base));
    json.member("composed", code_point_text(e.composed));
    json.member("leaves_dead", (e.flags & kDkfDead) != 0);
    json.end_object();
}

void write_json(std::ostream &out, const Keymap &keymap, const std::string &file,
                const Answer &a)
{
    const Found &found = *a.found;
    JsonWriter json(out);
    json.begin_object();
    json.member("format", "wendol find");
    json.member("version", 1);
    json.member("file", file);
    json.member("notice", a.notice);
    json.member("character", code_point_text(a.ch));
    json.member("text", utf8(a.ch));
    json.key("platform");
    if (const auto &p = found.platform) {
        json.begin_object();
        json.member("vk", unsigned{p->vk});
        json.member("vk_name", vk_label(p->vk));
        json.member("bits", unsigned{p->bits});
        json.member("modifiers", modifier_text(keymap, p->bits));
        json.member("column", unsigned{p->column});
        json.member("table", uint64_t{p->match_row.table + 1});
        json.member("row", uint64_t{p->match_row.row});
        json.member("row_role", role_text(p->role));
        json.end_object();
    } else {
        json.null();
    }
    json.key("way");
    if (const auto &way = found.way) {
        json.begin_object();
        json.key("strokes");
        json.begin_array();
        for (size_t i = 0; i < way->strokes.size(); ++i) {
            const Stroke &stroke = way->strokes[i];
            json.begin_object();
            json.member("text", a.strokes[i]);
            json.member("keys", said(keymap, stroke.keys));
            json.member("caps_lock", stroke.caps_lock);
            json.member("num_lock", stroke.num_lock);
            json.member("kana_lock", stroke.kana_lock);
            json.member("dead", stroke.dead);
            json.member("gives", stroke.gives ? std::optional<std::string>(code_point_text(
                                                    stroke.gives))
                                              : std::nullopt);
            json.member("ligature", utf8(stroke.ligature));
            json.end_object();
        }
        json.end_array();
        json.key("chain");
        json.begin_array();
        for (const DeadKeyEntry *step : way->chain)
            write_entry(json, *step);
        json.end_array();
        json.key("composition");
        if (way->composition)
            write_entry(json, *way->composition);
        else
            json.null();
        json.member("keys", a.keys);
        json.member("ctrl_alt_keys", a.ctrl_alt_keys);
        json.end_object();
    } else {
        json.null();
    }
    json.member("broken", a.broken);
    json.member("typable", found.way.has_value());
    json.end_object();
    json.finish();
}

int run_find(std::vector<std::string> args, std::ostream &out)
{
    const std::optional<std::string> base = take_option(args, "--base");
    const bool as_json = take_flag(args, "--json");
    expect_operands(args, 2, find_command.synopsis);
    const char32_t ch = parse_character(args[1]);
    const MappedImage image = load_image(args[0], base);
    const Keymap keymap(read_tables(image));
    const ReverseLookup lookup(keymap);
    const Found found = lookup.find(ch);

    Answer a;
    a.ch = ch;
    a.notice = nls_notice(image);
    a.found = &found;
    if (const auto &way = found.way) {
        const std::string lock = caps_lock_name(keymap);
        for (const Stroke &stroke : way->strokes)
            a.strokes.push_back(stroke_text(stroke, said(keymap, stroke.keys), lock));
        const auto sequence = lookup.key_sequence(*way);
        a.keys = sequence_text(sequence, [&](const Chord &c) { return said(keymap, c); });
        a.ctrl_alt_keys = sequence_text(sequence, chord_text);
    } else if (const Cell *broken = broken_cell(keymap, found)) {
        a.broken = broken->fault->error(keymap.tables()).what();
    }
    if (as_json)
        write_json(out, keymap, args[0], a);
    else
        print_text(out, keymap, a);
    return found.way ? kExitDone : kExitFailed;
}

}  // namespace

const Command find_command = {
    "find",
    "FILE [--base ADDR] [--json] CHAR",
    "the key the platform reports for CHAR (the character, or U+XXXX) and the whole\n"
    "      way to type it: the locks it needs, the dead key and base key that compose it\n"
    "      (or a chain of dead keys, through compositions that are dead themselves), or\n"
    "      the key whose ligature types it among other characters; exits 1 when\n"
    "      nothing types it",
    run_find,
    "  --json        print one JSON document: the key the platform reports and the\n"
    "                way to type it (docs/json.md)\n",
    "  wendol find Wendol.dll \u00E9\n"
    "  wendol find Wendol.dll U+03B0\n",
};

}  // namespace wendol::cli
