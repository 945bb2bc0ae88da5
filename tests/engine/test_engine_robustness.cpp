// test_engine_robustness.cpp - the engine on tables that break their own
// rules, as a hostile or damaged image would give them: it reports what it
// expected and found, and never reads outside what it was given.
#include <gtest/gtest.h>

#include <random>

#include "base/error.h"
#include "base/text.h"
#include "engine/reverse_lookup.h"
#include "engine/typing.h"

namespace wendol {
namespace {

// A tiny layout: A on scan code 0x1E, Shift on 0x2A, Caps Lock on 0x3A, and
// the rows given.
LayoutTables tiny_layout(std::vector<CharRow> rows, uint8_t columns = 2)
{
    LayoutTables t;
    t.modifiers.keys = {{0x10, 0x01}};
    t.modifiers.max_mod_bits = 1;
    t.modifiers.mod_number = {0, 1};
    t.scan_map.assign(0x40, 0xFF);
    t.scan_map[0x1E] = 'A';
    t.scan_map[0x2A] = 0xA0;
    t.scan_map[0x3A] = 0x14;
    t.char_tables.push_back(CharTable{columns, static_cast<uint8_t>(2 + 2 * columns), 0, std::move(rows)});
    return t;
}

CharRow row(uint8_t vk, uint8_t attributes, std::vector<uint16_t> cells)
{
    return CharRow{vk, attributes, std::move(cells), 0};
}

const Key kA = ScanCode{Prefix::None, 0x1E};
const Key kCaps = ScanCode{Prefix::None, 0x3A};

// What the keys typed, or the fault of the first press the tables could
// not answer.
std::string outcome_of(const LayoutTables &tables, std::vector<Key> keys)
{
    const Keymap keymap(tables);
    Typist typist(keymap);
    std::u16string text;
    for (const Key &key : keys)
        for (const Press &p : typist.chord({key})) {
            if (p.cell.kind == Cell::Kind::Broken)
                return p.cell.fault->error(keymap.tables()).what();
            text += p.delivery.text;
        }
    return "typed " + utf8(text) + (typist.pending() ? " pending " + utf8(*typist.pending()) : "");
}

// The platform reads the row after an SGCAPS row or a dead cell, whatever
// that row's key: it types what is there, and only a row that is not there
// or a marker where the dead character belongs cannot be answered.
TEST(EngineRobustness, BrokenContinuationRowsAreReported)
{
    struct Broken {
        const char *what;
        std::vector<CharRow> rows;
        std::vector<Key> keys;
        const char *expected;
    };
    const Broken cases[] = {
        {"SGCAPS row last in its table", {row('A', kSgCaps, {'a', 'A'})}, {kCaps, kA},
         "a Caps Lock row below the SGCAPS row, found the end of the table"},
        {"SGCAPS row followed by a key row", {row('A', kSgCaps, {'a', 'A'}), row('B', 0, {'b', 'B'})},
         {kCaps, kA}, "typed b"},
        {"dead cell last in its table", {row('A', 0, {kWchDead, 'A'})}, {kA},
         "a dead-character row below it, found the end of the table"},
        {"dead cell over a key row", {row('A', 0, {kWchDead, 'A'}), row('B', 0, {'b', 'B'})}, {kA},
         "typed  pending b"},
        {"dead cell over a marker", {row('A', 0, {kWchDead, 'A'}), row(0xFF, 0, {kWchNone, kWchNone})},
         {kA}, "a dead character in the row below, found 0xF000"},
        {"dead cell over a short row", {row('A', 0, {kWchDead, 'A'}), row(0xFF, 0, {})}, {kA},
         "a cell in that column of the row below"},
    };
    for (const Broken &b : cases) {
        const std::string outcome = outcome_of(tiny_layout(b.rows), b.keys);
        EXPECT_NE(outcome.find(b.expected), std::string::npos) << b.what << ": " << outcome;
    }
}

TEST(EngineRobustness, ShortRowsAndMapsGiveNothing)
{
    LayoutTables t = tiny_layout({row('A', 0, {'a'})});      // one cell in a two-column table
    t.modifiers.mod_number = {0};                            // shorter than wMaxModBits says
    const Keymap keymap(t);
    Typist typist(keymap);
    EXPECT_EQ(delivered(typist.chord({kA})), u"a");
    const Key shift = ScanCode{Prefix::None, 0x2A};
    EXPECT_EQ(delivered(typist.chord({shift, kA})), u"");
    EXPECT_EQ(delivered(typist.chord({ScanCode{Prefix::None, 0x7F}})), u"");   // beyond the map
    EXPECT_EQ(delivered(typist.chord({ScanCode{Prefix::E0, 0x1E}})), u"");     // empty E0 list
}

TEST(EngineRobustness, CapLokTurnsCapsLockIntoShift)
{
    const Keymap keymap(tiny_layout({row('A', kCapLok, {'a', 'A'})}));
    Typist typist(keymap);
    EXPECT_EQ(delivered(typist.chord({kA})), u"a");
    typist.chord({kCaps});
    EXPECT_EQ(delivered(typist.chord({kA})), u"A");
    EXPECT_EQ(delivered(typist.chord({ScanCode{Prefix::None, 0x2A}, kA})), u"a");
}

TEST(EngineRobustness, AResultMarkedDeadStaysPending)
{
    LayoutTables t = tiny_layout({row('A', 0, {kWchDead, 'A'}), row(0xFF, 0, {u'´', kWchNone})});
    t.dead_keys = {{u'´', u'´', u'˝', 0x0001}, {u'˝', u'A', u'Ő', 0}};
    const Keymap keymap(t);
    Typist typist(keymap);
    typist.chord({kA});
    EXPECT_EQ(delivered(typist.chord({kA})), u"");
    EXPECT_EQ(typist.pending(), u'˝');
    EXPECT_EQ(delivered(typist.chord({ScanCode{Prefix::None, 0x2A}, kA})), u"Ő");
    EXPECT_FALSE(typist.pending());
}

// A layout with Ctrl and Alt too: columns plain, Shift, Ctrl+Alt,
// Shift+Ctrl+Alt; Ctrl on 0x1D, Alt on 0x38, Num Lock on 0x45, and a grey
// Home key (E0 47) flagged as the keypad's as well as extended.
LayoutTables altgr_layout(std::vector<CharRow> rows)
{
    LayoutTables t = tiny_layout(std::move(rows), 4);
    t.modifiers.keys = {{kVkShift, kKbdShift}, {kVkControl, kKbdCtrl}, {kVkMenu, kKbdAlt}};
    t.modifiers.max_mod_bits = 7;
    t.modifiers.mod_number = {0, 1, kShiftInvalid, kShiftInvalid, kShiftInvalid, kShiftInvalid,
                              2, 3};
    t.scan_map.resize(0x80, 0xFF);
    t.scan_map[0x1D] = kVkLControl;
    t.scan_map[0x38] = kVkLMenu;
    t.scan_map[0x45] = kVkNumLock;
    t.scan_map_e0 = {{0x47, static_cast<uint16_t>(kVkHome | kKbdExt | kKbdNumpad)}};
    return t;
}

// Rules no layout of the tests' own shows, typed on tables made for them;
// each way `find` gives types its character back.
TEST(EngineRobustness, RulesOnTablesMadeForThem)
{
    const Key ctrl = ScanCode{Prefix::None, 0x1D}, alt = ScanCode{Prefix::None, 0x38};
    const Key num = ScanCode{Prefix::None, 0x45}, home = ScanCode{Prefix::E0, 0x47};
    // CAPLOKALTGR without CAPLOK: Caps Lock shifts Ctrl+Alt only.
    LayoutTables t = altgr_layout({row('A', kCapLokAltGr, {'a', 'A', u'æ', u'Æ'})});
    // A pair listed twice: the platform takes the first.
    t.char_tables[0].rows.push_back(row('B', 0, {kWchDead, 'B', kWchNone, kWchNone}));
    t.char_tables[0].rows.push_back(row(kContinuationVk, 0, {u'´', kWchNone, kWchNone, kWchNone}));
    t.scan_map[0x30] = 'B';
    // The dead key twice leaves ˝ (DKF_DEAD), a chain whose stroke is a
    // dead key; ˝ then a is ő.
    t.dead_keys = {{u'´', u'a', u'á', 0}, {u'´', u'a', u'ä', 0}, {u'´', u'´', u'˝', kDkfDead},
                   {u'˝', u'a', u'ő', 0}};
    const Keymap keymap(t);
    const struct {
        std::vector<std::vector<Key>> chords;
        std::u16string typed;
    } cases[] = {
        {{{kCaps}, {kA}}, u"a"},
        {{{kCaps}, {ctrl, alt, kA}}, u"Æ"},
        {{{ctrl, alt, kA}}, u"æ"},
        {{{ScanCode{Prefix::None, 0x30}}, {kA}}, u"á"},
    };
    for (const auto &c : cases) {
        Typist typist(keymap);
        std::u16string text;
        for (const auto &chord : c.chords)
            text += delivered(typist.chord(chord));
        EXPECT_EQ(text, c.typed);
    }
    const ReverseLookup lookup(keymap);
    for (char16_t ch : {u'a', u'æ', u'Æ', u'á', u'ő'}) {
        const Found found = lookup.find(ch);
        ASSERT_TRUE(found.way) << utf8(ch);
        Typist typist(keymap);
        std::u16string text;
        for (const auto &chord : lookup.key_sequence(*found.way))
            text += delivered(typist.chord(chord));
        EXPECT_EQ(text, std::u16string(1, ch));
    }
    EXPECT_FALSE(lookup.find(u'ä').way);   // the second entry never composes
    // The grey Home key is extended: Num Lock leaves it a navigation key.
    Typist typist(keymap);
    typist.chord({num});
    EXPECT_EQ(typist.press(home).translation.vk, kVkHome);
}

// Random tables, random keys: Error is the only way out.
TEST(EngineRobustness, RandomTablesNeverCrash)
{
    std::mt19937 random(20240613);
    auto byte = [&] { return static_cast<uint8_t>(random() & 0xFF); };
    const uint16_t cells[] = {kWchNone, kWchDead, kWchLigature, 'a', 0x00B4, 0};
    for (int round = 0; round < 300; ++round) {
        LayoutTables t;
        t.modifiers.max_mod_bits = byte() % 16;
        for (int i = 0, n = byte() % 12; i < n; ++i)
            t.modifiers.mod_number.push_back(byte() % 17);
        for (int i = 0, n = byte() % 5; i < n; ++i)
            t.modifiers.keys.push_back({byte(), static_cast<uint8_t>(byte() % 16)});
        for (int i = 0, n = byte() % 40; i < n; ++i)
            t.scan_map.push_back(static_cast<uint16_t>(byte() | (byte() << 8)));
        for (int i = 0, n = byte() % 4; i < n; ++i)
            t.scan_map_e0.push_back({byte(), static_cast<uint16_t>(byte() | (byte() << 8))});
        for (int i = 0, n = byte() % 4; i < n; ++i) {
            CharTable table;
            table.columns = byte() % 7;
            for (int r = 0, rows = byte() % 8; r < rows; ++r) {
                CharRow cr{static_cast<uint8_t>(byte() % 2 ? 0xFF : byte() % 0x60), static_cast<uint8_t>(byte() % 4), {}, 0};
                for (int c = 0, cols = byte() % 7; c < cols; ++c)
                    cr.cells.push_back(cells[byte() % std::size(cells)]);
                table.rows.push_back(cr);
            }
            t.char_tables.push_back(table);
        }
        for (int i = 0, n = byte() % 6; i < n; ++i)
            t.dead_keys.push_back({0x00B4, static_cast<uint16_t>(byte() % 2 ? 'a' : 0x00B4), 'x',
                                   static_cast<uint16_t>(byte() % 2)});

        const Keymap keymap(t);
        Typist typist(keymap);
        for (int press = 0; press < 30; ++press) {
            try {
                Key key = byte() % 4 ? Key{ScanCode{static_cast<Prefix>(byte() % 3), byte()}}
                                     : Key{VirtualKey{byte()}};
                typist.press(key);
                if (byte() % 2)
                    typist.release(key);
            } catch (const Error &) {
            }
        }
        try {
            find_character(keymap, 'a');
            find_character(keymap, 0x00B4);
        } catch (const Error &) {
        }
    }
}

}  // namespace
}  // namespace wendol
