// cmd_find.cpp - `wendol find FILE CHAR`: which key the platform reports for
// a character, and the whole way to type it.
#include <cstdio>
#include <string>

#include "base/numbers.h"
#include "base/text.h"
#include "commands.h"
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
    for (const VkToBit &m : keymap.modifier_keys())
        if (m.bits && (m.bits & bits) == m.bits) {
            if (!names.empty())
                names += '+';
            names += vk_label(m.vk);
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

std::string stroke_text(const Stroke &stroke, const std::string &lock)
{
    std::string text;
    if (stroke.caps_lock)
        text += "with " + lock + (*stroke.caps_lock ? " on, " : " off, ");
    if (stroke.num_lock)
        text += *stroke.num_lock ? "with Num Lock on, " : "with Num Lock off, ";
    if (stroke.kana_lock)
        text += *stroke.kana_lock ? "with the Kana lock on, " : "with the Kana lock off, ";
    text += chord_text(stroke.keys);
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

int run_find(std::vector<std::string> args, std::ostream &out)
{
    const std::optional<std::string> base = take_option(args, "--base");
    expect_operands(args, 2, find_command.synopsis);
    const char32_t ch = parse_character(args[1]);
    const MappedImage image = load_image(args[0], base);
    const Keymap keymap(read_tables(image));
    const ReverseLookup lookup(keymap);
    const Found found = lookup.find(ch);

    if (auto notice = nls_notice(image))
        out << *notice << '\n';
    out << character_label(ch) << '\n';
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
        for (size_t i = 0; i < way->strokes.size(); ++i)
            out << (i ? ", then " : "") << stroke_text(way->strokes[i], caps_lock_name(keymap));
        // A chain's DKF_DEAD compositions first, each leaving a dead character.
        for (const DeadKeyEntry *step : way->chain)
            out << ": " << glyph(step->dead) << " + " << glyph(step->base) << " leaves dead "
                << glyph(step->composed);
        if (way->composition)
            out << ": " << glyph(way->composition->dead) << " + " << glyph(way->composition->base)
                << " composes " << glyph(way->composition->composed);
        out << "\n  keys: ";
        const auto sequence = lookup.key_sequence(*way);
        for (size_t i = 0; i < sequence.size(); ++i)
            out << (i ? " " : "") << chord_text(sequence[i]);
        out << "   (from no lock on)\n";
    } else if (const Cell *broken = broken_cell(keymap, found)) {
        // The key holds it, but the tables cannot answer the key there.
        out << "  to type it: none; the tables cannot answer the key that holds it ("
            << broken->fault->error(keymap.tables()).what() << "); wendol verify tells more\n";
        return kExitFailed;
    } else {
        out << "  to type it: no key or dead-key sequence gives it\n";
        return kExitFailed;
    }
    return kExitDone;
}

}  // namespace

const Command find_command = {
    "find",
    "FILE [--base ADDR] CHAR",
    "the key the platform reports for CHAR (the character, or U+XXXX) and the whole\n"
    "      way to type it: the locks it needs, the dead key and base key that compose it\n"
    "      (or a chain of dead keys, through compositions that are dead themselves), or\n"
    "      the key whose ligature types it among other characters; exits 1 when\n"
    "      nothing types it",
    run_find,
    "",
    "  wendol find Wendol.dll \u00E9\n"
    "  wendol find Wendol.dll U+03B0\n",
};

}  // namespace wendol::cli
