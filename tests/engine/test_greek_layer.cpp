// test_greek_layer.cpp - the alphanumeric block of the built Wendol.dll: the
// AltGr levels, the Greek layer that Caps Lock selects, and what holds for
// the whole table.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

#include <unicode/uchar.h>
#include <unicode/uscript.h>

#include "base/error.h"
#include "support/typing_helpers.h"

namespace wendol::test {
namespace {

TEST(GreekLayer, CapsLockGivesGreekSmallAndCapital)
{
    struct Letter {
        const char *key;
        const char *small;
        const char *capital;
    };
    const Letter letters[] = {
        {"e", "ε", "Ε"},
        {"r", "ρ", "Ρ"},
        {"t", "τ", "Τ"},
        {"y", "υ", "Υ"},
        {"u", "θ", "Θ"},
        {"i", "ι", "Ι"},
        {"o", "ο", "Ο"},
        {"p", "π", "Π"},
        {"a", "α", "Α"},
        {"s", "σ", "Σ"},
        {"d", "δ", "Δ"},
        {"f", "φ", "Φ"},
        {"g", "γ", "Γ"},
        {"h", "η", "Η"},
        {"j", "ξ", "Ξ"},
        {"k", "κ", "Κ"},
        {"l", "λ", "Λ"},
        {"z", "ζ", "Ζ"},
        {"x", "χ", "Χ"},
        {"c", "ψ", "Ψ"},
        {"v", "ω", "Ω"},
        {"b", "β", "Β"},
        {"n", "ν", "Ν"},
        {"m", "μ", "Μ"},
    };
    for (const Letter &l : letters) {
        const std::string key = l.key;
        // With Ctrl or AltGr held the platform reads the key's own row: the
        // control character, and the AltGr letters as without Caps Lock.
        const char *control = invisible_name(static_cast<char32_t>(key[0] - 'a' + 1));
        const std::string altgr = outcome(type("AltGr+" + key));
        const std::string altgr_shift = outcome(type("AltGr+Shift+" + key));
        expect_typing({
            {("CapsLock " + key).c_str(), l.small},
            {("CapsLock Shift+" + key).c_str(), l.capital},
            {("CapsLock Ctrl+" + key).c_str(), control},
            {("CapsLock AltGr+" + key).c_str(), altgr.c_str()},
            {("CapsLock AltGr+Shift+" + key).c_str(), altgr_shift.c_str()},
        });
    }
}

TEST(GreekLayer, LettersWithAndWithoutCapsLock)
{
    expect_typing({
        {"a", "a"},
        {"Shift+a", "A"},
        {"CapsLock a", "α"},
        {"CapsLock Shift+a", "Α"},                // Greek capital alpha, not A
        {"CapsLock AltGr+a", "á"},                 // AltGr reads the key's own row
        {"AltGr+a", "á"},
        {"AltGr+Shift+a", "Á"},
        {"CapsLock CapsLock a", "a"},
        {"CapsLock q", ";"},
        {"CapsLock Shift+q", ":"},
        {"CapsLock w", "ς"},
        {"CapsLock Shift+w", "dead ΅"},
        {"CapsLock AltGr+w", "ś"},
    });
}

TEST(GreekLayer, SemicolonBecomesTheAccentKey)
{
    expect_typing({
        {";", ";"},
        {"Shift+;", ":"},
        {"AltGr+;", "ż"},
        {"AltGr+Shift+;", "Ż"},
        {"CapsLock ;", "dead ´"},
        {"CapsLock Shift+;", "dead ¨"},
        {"CapsLock AltGr+;", "ż"},                 // the Caps Lock row's ΅ is never read
        {"CapsLock AltGr+Shift+;", "Ż"},
        {"'", "'"},
        {"Shift+'", "\""},
        {"AltGr+'", "é"},
        {"CapsLock '", "'"},
        {"CapsLock Shift+'", "\""},
        {"CapsLock AltGr+'", "é"},
        {"CapsLock AltGr+Shift+'", "É"},
    });
}

// The digits' Caps Lock rows hold the fractions, ˜ and ᵢ as characters in
// their AltGr columns, but the platform reads an SGCAPS key's Caps Lock row
// only while nothing but Shift is held: with AltGr they are dead keys as
// without Caps Lock.
TEST(GreekLayer, CapsLockLeavesTheDigitsAltGrLevels)
{
    expect_typing({
        {"AltGr+1", "dead ⅟"},         {"CapsLock AltGr+1", "dead ⅟"},
        {"AltGr+2", "dead ⅔"},         {"CapsLock AltGr+2", "dead ⅔"},
        {"AltGr+5", "dead ⅕"},         {"CapsLock AltGr+5", "dead ⅕"},
        {"AltGr+6", "dead ⅙"},         {"CapsLock AltGr+6", "dead ⅙"},
        {"AltGr+Shift+6", "dead ˜"},   {"CapsLock AltGr+Shift+6", "dead ˜"},
        {"AltGr+7", "dead ⅛"},         {"CapsLock AltGr+7", "dead ⅛"},
        {"AltGr+Shift+0", "dead ᵢ"},   {"CapsLock AltGr+Shift+0", "dead ᵢ"},
        {"AltGr+Shift+2", "½"},        {"CapsLock AltGr+Shift+2", "½"},
        {"AltGr+Shift+1", "≠"},        {"CapsLock AltGr+Shift+1", "≠"},
        {"AltGr+3", "§"},              {"CapsLock AltGr+3", "§"},
        {"AltGr+Shift+3", "⅓"},        {"CapsLock AltGr+Shift+3", "⅓"},
        {"AltGr+4", "₽"},              {"AltGr+Shift+4", "€"},
        {"AltGr+8", "ı"},              {"AltGr+Shift+8", "İ"},
        {"CapsLock AltGr+8", "ı"},
        {"AltGr+0", "≥"},              {"CapsLock AltGr+0", "≥"},
        {"AltGr+-", "±"},              {"CapsLock AltGr+-", "±"},
        {"AltGr+Shift+-", "—"},        {"CapsLock AltGr+Shift+-", "—"},
        {"CapsLock 1", "1"},           {"CapsLock Shift+1", "!"},
        {"CapsLock Shift+2", "@"},     {"CapsLock Ctrl+2", "NUL"},
        {"CapsLock -", "-"},           {"CapsLock Shift+-", "_"},
    });
}

TEST(GreekLayer, DeadKeysThatIgnoreCapsLock)
{
    expect_typing({
        {"AltGr+Shift+`", "dead °"},   {"CapsLock AltGr+Shift+`", "dead °"},
        {"AltGr+=", "dead ´"},         {"CapsLock AltGr+=", "dead ´"},
        {"AltGr+Shift+=", "dead ˇ"},   {"CapsLock AltGr+Shift+=", "dead ˇ"},
        {"AltGr+\\", "dead ¨"},        {"CapsLock AltGr+\\", "dead ¨"},
        {"AltGr+Shift+\\", "dead ^"},  {"CapsLock AltGr+Shift+\\", "dead ^"},
        {"AltGr+Shift+Oem102", "dead ˝"}, {"CapsLock AltGr+Shift+Oem102", "dead ˝"},
        {"AltGr+`", "∀"},
    });
}

TEST(MainKeys, ControlCharacters)
{
    expect_typing({
        {"Ctrl+2", "NUL"},
        {"Ctrl+6", "RS"},
        {"Ctrl+-", "US"},
        {"Ctrl+[", "ESC"},
        {"Ctrl+]", "GS"},
        {"Ctrl+\\", "FS"},
        {"Ctrl+Oem102", "FS"},
        {"Ctrl+a", "SOH"},                        // the platform's, the letters' Ctrl cells empty
        {"Ctrl+z", "SUB"},
        {"Ctrl+Shift+a", "nothing"},              // Shift+Ctrl is SHFT_INVALID: nothing at all
        {"AltGr+Ctrl+a", "nothing"},              // and so is AltGr+Ctrl
        {"LCtrl+LAlt+a", "nothing"},              // Alt is
        {"Ctrl+1", "nothing"},
        {"Ctrl+=", "nothing"},
        {"Ctrl+`", "nothing"},
    });
}

TEST(MainKeys, LettersSharedBetweenKeys)
{
    expect_typing({
        {"AltGr+w", "ś"},   {"AltGr+Shift+w", "Ś"},
        {"AltGr+p", "ś"},   {"AltGr+Shift+p", "Ś"},
        {"AltGr+x", "ć"},   {"AltGr+Shift+x", "Ć"},
        {"AltGr+]", "ć"},   {"AltGr+Shift+]", "Ć"},
        {"AltGr+b", "ß"},   {"AltGr+Shift+b", "ẞ"},
        {"AltGr+Oem102", "ß"},
        {"AltGr+,", "μ"},   {"AltGr+Shift+,", "Μ"},
        {"AltGr+[", "ź"},   {"AltGr+Shift+[", "Ź"},
        {"Oem102", "\\"},   {"Shift+Oem102", "|"},
    });
}

TEST(MainKeys, CommaPeriodSlashIgnoreCapsLock)
{
    for (const char *key : {",", ".", "/"}) {
        for (const char *mods : {"", "Shift+", "AltGr+", "AltGr+Shift+"}) {
            const std::string keys = std::string(mods) + key;
            EXPECT_EQ(outcome(type("CapsLock " + keys)), outcome(type(keys))) << keys;
        }
    }
    expect_typing({
        {"CapsLock ,", ","}, {"CapsLock Shift+,", "<"}, {"CapsLock AltGr+,", "μ"},
        {"CapsLock .", "."}, {"CapsLock Shift+.", ">"}, {"CapsLock AltGr+.", "ú"},
        {"CapsLock /", "/"}, {"CapsLock Shift+/", "?"}, {"CapsLock AltGr+/", "÷"},
        {"CapsLock AltGr+Shift+/", "∕"},
    });
}

// Every key of the keyboard in every column, with and without Caps Lock and
// Num Lock: what it sent, where it read and what it gave.
struct Pressed {
    std::string keys;
    Press press;
    bool caps_lock;
};

std::vector<Pressed> every_press()
{
    std::vector<std::string> keys;
    for (unsigned code = 0; code < 0x80; ++code) {
        char name[16];
        std::snprintf(name, sizeof name, "sc:%02X", code);
        keys.push_back(name);
        std::snprintf(name, sizeof name, "sc:E0%02X", code);
        keys.push_back(name);
    }
    keys.push_back("sc:E11D");
    std::vector<Pressed> presses;
    for (const std::string &key : keys)
        for (const char *mods : {"", "Shift+", "Ctrl+", "AltGr+", "AltGr+Shift+"})
            for (const char *locks : {"", "CapsLock ", "NumLock ", "CapsLock NumLock "}) {
                const std::string sequence = locks + std::string(mods) + key;
                presses.push_back({sequence, last_press(sequence), std::string(locks).find("Caps") == 0});
            }
    return presses;
}

TEST(WholeTable, EveryDeadCellGivesADeadCharacterWithACompositionGroup)
{
    std::set<char16_t> groups;
    for (const DeadKeyEntry &entry : keymap().tables().dead_keys)
        groups.insert(entry.dead);

    std::set<std::tuple<size_t, size_t, unsigned>> dead_cells;
    std::set<char16_t> dead_characters;
    for (const Pressed &p : every_press()) {
        if (p.press.cell.kind != Cell::Kind::Dead)
            continue;
        EXPECT_TRUE(groups.count(p.press.cell.ch))
            << p.keys << " gives dead " << utf8(p.press.cell.ch) << ", which composes nothing";
        dead_cells.emplace(p.press.cell.read_row.table, p.press.cell.read_row.row, *p.press.cell.column);
        dead_characters.insert(p.press.cell.ch);
    }
    // Of the 17 dead cells, the Caps Lock row's ΅ in the AltGr column of the
    // semicolon key is never read: AltGr reads the key's own row.
    EXPECT_EQ(dead_cells.size(), 16u);
    EXPECT_EQ(dead_characters.size(), 14u);
    EXPECT_EQ(dead_characters, groups);
}

TEST(WholeTable, EverySgCapsRowHasItsCapsLockRow)
{
    size_t sgcaps_rows = 0;
    const auto &tables = keymap().tables().char_tables;
    for (size_t t = 0; t < tables.size(); ++t) {
        const auto &rows = tables[t].rows;
        for (size_t r = 0; r < rows.size(); ++r) {
            if (rows[r].vk == kContinuationVk || !(rows[r].attributes & kSgCaps))
                continue;
            ++sgcaps_rows;
            ASSERT_LT(r + 1, rows.size()) << "table " << t + 1 << " ends after an SGCAPS row";
            EXPECT_EQ(rows[r + 1].vk, kContinuationVk)
                << "table " << t + 1 << " row " << r << " (VK " << hex(rows[r].vk, 2) << ")";
        }
    }
    EXPECT_EQ(sgcaps_rows, 40u);   // 39 keys of the alphanumeric block and the keypad decimal
}

TEST(WholeTable, ContinuationRowsNeverMatchAKey)
{
    for (const Pressed &p : every_press()) {
        if (p.press.cell.kind == Cell::Kind::NoRow)
            continue;
        EXPECT_NE(keymap().row(p.press.cell.key_row).vk, kContinuationVk) << p.keys;
        EXPECT_EQ(keymap().row(p.press.cell.key_row).vk, p.press.translation.vk) << p.keys;
    }
}

bool is_latin_letter(char16_t c)
{
    UErrorCode status = U_ZERO_ERROR;
    return u_isalpha(c) && uscript_getScript(c, &status) == USCRIPT_LATIN && U_SUCCESS(status);
}

TEST(WholeTable, CapsLockNeverActsAsShiftOnALatinLetter)
{
    std::map<std::string, std::u16string> without_caps;
    const std::vector<Pressed> presses = every_press();
    for (const Pressed &p : presses)
        if (!p.caps_lock)
            without_caps[p.keys] = p.press.delivery.text;
    for (const Pressed &p : presses) {
        if (!p.caps_lock || p.press.delivery.text.size() != 1)
            continue;
        const char16_t with = p.press.delivery.text[0];
        const std::u16string &plain = without_caps[p.keys.substr(std::string("CapsLock ").size())];
        if (plain.size() != 1 || !is_latin_letter(plain[0]))
            continue;
        const UChar32 other_case = u_islower(plain[0]) ? u_toupper(plain[0]) : u_tolower(plain[0]);
        if (other_case != plain[0]) {
            EXPECT_NE(static_cast<UChar32>(with), other_case)
                << p.keys << ": Caps Lock turned " << utf8(plain[0]) << " into " << utf8(with);
        }
    }
    // And no key without Shift gives a Latin capital under Caps Lock.
    for (const Pressed &p : presses) {
        if (!p.caps_lock || p.keys.find("Shift") != std::string::npos)
            continue;
        for (char16_t c : p.press.delivery.text) {
            EXPECT_FALSE(is_latin_letter(c) && u_isupper(c)) << p.keys << " gives " << utf8(c);
        }
    }
}

}  // namespace
}  // namespace wendol::test
