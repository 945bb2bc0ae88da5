// test_tables.cpp - the root record, scan-code maps and modifier map as read
// from the built module through its far pointers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "support/image_helpers.h"
#include "tables/table_extents.h"
#include "tables/tables.h"
#include "tables/vk_names.h"

namespace wendol {
namespace {

// Read once: every test here only looks.
const LayoutTables &module_tables()
{
    static const LayoutTables tables = read_tables(test::map_module());
    return tables;
}

class Tables : public ::testing::Test {
protected:
    const LayoutTables &t() const { return module_tables(); }
};

TEST_F(Tables, RootRecordValues)
{
    EXPECT_EQ(t().form, PointerForm::Wow64);
    EXPECT_EQ(t().locale_flags, 0x00010000u);
    EXPECT_EQ(t().ligature, 0u);
    EXPECT_EQ(t().lg_max, 0);
    EXPECT_EQ(t().cb_lg_entry, 0);
    EXPECT_EQ(t().type, 0u);
    EXPECT_EQ(t().subtype, 0u);
}

// The module's root record is the newer one, ending with dwType and
// dwSubType: no table of it begins inside the record (an older record ends
// after pLigature, and the verifier only warns of one).
TEST_F(Tables, RootRecordHoldsItsOwnDwTypeAndDwSubType)
{
    const std::vector<Extent> extents = table_extents(t());
    const auto root = std::find_if(extents.begin(), extents.end(),
                                   [](const Extent &e) { return e.what == "KBDTABLES"; });
    ASSERT_NE(root, extents.end());
    EXPECT_EQ(root->size, 104u);   // WOW64: ten pointers, the values, dwType, dwSubType
    for (const Extent &e : extents)
        if (&e != &*root) {
            EXPECT_FALSE(e.rva >= root->rva && e.rva < root->end())
                << e.what << " at " << hex(e.rva);
        }
}

TEST_F(Tables, RootPointersAreRecordedAtTheirOffsets)
{
    using S = PointerSlot;
    const std::pair<PointerSlot, uint32_t> fields[] = {
        {S::CharModifiers, 0x00}, {S::VkToWcharTable, 0x08}, {S::DeadKey, 0x10},
        {S::KeyNames, 0x18},      {S::KeyNamesExt, 0x20},    {S::KeyNamesDead, 0x28},
        {S::VscToVk, 0x30},       {S::VscToVkE0, 0x40},      {S::VscToVkE1, 0x48},
        {S::Ligature, 0x58},
    };
    for (const auto &[slot, offset] : fields) {
        const PointerField *field = find_pointer(t(), {slot});
        ASSERT_NE(field, nullptr) << label({slot});
        EXPECT_EQ(field->field_rva, t().root_rva + offset) << field->label();
        EXPECT_EQ(field->value == 0, slot == S::Ligature) << field->label();
    }
}

TEST_F(Tables, BaseScanMapGivesEveryCodeAVirtualKey)
{
    ASSERT_EQ(t().scan_map.size(), 128u);
    for (size_t scan = 0; scan < t().scan_map.size(); ++scan) {
        const auto vk = static_cast<uint8_t>(t().scan_map[scan]);
        EXPECT_NE(vk, 0x00) << "scan " << hex(scan, 2);
        EXPECT_NE(vk, 0xFF) << "scan " << hex(scan, 2);
    }
}

TEST_F(Tables, ScanCodesMapAsTheKeyboardSays)
{
    struct Case {
        uint8_t scan;
        uint16_t value;   // virtual key and flags
    };
    const Case cases[] = {
        {0x38, 0x00A4},   // left Alt: VK_LMENU
        {0x7C, 0x0009},   // VK_TAB
        {0x7E, 0x00C2},   // VK_ABNT_C2
        {0x73, 0x00C1},   // VK_ABNT_C1
        {0x7D, 0x00DF},   // VK_OEM_8
        {0x36, 0x01A1},   // right Shift: VK_RSHIFT | KBDEXT
        {0x45, 0x0390},   // VK_NUMLOCK | KBDEXT | KBDMULTIVK
        {0x47, 0x0C24},   // keypad 7: VK_HOME | KBDSPECIAL | KBDNUMPAD
        {0x00, 0x00E4},   // VK_ICO_00
        {0x1D, 0x00A2},   // VK_LCONTROL
    };
    for (const Case c : cases)
        EXPECT_EQ(t().scan_map.at(c.scan), c.value) << "scan " << hex(c.scan, 2);
}

uint16_t prefixed(const std::vector<ScanCodeEntry> &map, uint8_t scan)
{
    for (const ScanCodeEntry &e : map)
        if (e.scan == scan)
            return e.vk;
    return 0;
}

TEST_F(Tables, RightAltIsAltGrNeverRightMenu)
{
    EXPECT_EQ(prefixed(t().scan_map_e0, 0x38), 0x0100 | kVkAltGr);
    for (const ScanCodeEntry &e : t().scan_map_e0)
        EXPECT_NE(e.vk & 0xFF, 0xA5) << "E0 " << hex(e.scan, 2);
}

TEST_F(Tables, E0MapIsSortedAndExtended)
{
    EXPECT_EQ(t().scan_map_e0.size(), 38u);
    for (size_t i = 0; i < t().scan_map_e0.size(); ++i) {
        EXPECT_TRUE(t().scan_map_e0[i].vk & kKbdExt) << i;
        if (i > 0) {
            EXPECT_LT(t().scan_map_e0[i - 1].scan, t().scan_map_e0[i].scan) << i;
        }
    }
}

TEST_F(Tables, E1MapHoldsPauseAlone)
{
    ASSERT_EQ(t().scan_map_e1.size(), 1u);
    EXPECT_EQ(t().scan_map_e1[0].scan, 0x1D);
    EXPECT_EQ(t().scan_map_e1[0].vk, 0x0013);
}

TEST_F(Tables, ModifierKeysAndTheirBits)
{
    std::vector<std::pair<int, int>> keys;
    for (const VkToBit &k : t().modifiers.keys)
        keys.push_back({k.vk, k.bits});
    const std::vector<std::pair<int, int>> expected = {
        {0x10, 0x01}, {0x11, 0x02}, {0x12, 0x04}, {kVkAltGr, 0x08}};
    EXPECT_EQ(keys, expected);
}

TEST_F(Tables, ModifierBitsSelectColumns)
{
    const Modifiers &m = t().modifiers;
    EXPECT_EQ(m.max_mod_bits, 9);
    ASSERT_EQ(m.mod_number.size(), 10u);
    struct Case {
        unsigned bits;
        uint8_t column;
    };
    const Case cases[] = {
        {0, 0},             // plain
        {1, 1},             // Shift
        {2, 2},             // Ctrl
        {3, kShiftInvalid}, // Shift+Ctrl
        {4, kShiftInvalid}, // Alt
        {5, kShiftInvalid}, // Shift+Alt
        {6, kShiftInvalid}, // Ctrl+Alt is not AltGr
        {7, kShiftInvalid}, // Shift+Ctrl+Alt
        {8, 3},             // AltGr
        {9, 4},             // AltGr+Shift
    };
    for (const Case c : cases)
        EXPECT_EQ(m.mod_number.at(c.bits), c.column) << "bits " << c.bits;
}

TEST_F(Tables, CharacterRowsHaveOneCellPerColumn)
{
    for (const CharTable &table : t().char_tables) {
        EXPECT_EQ(table.row_size, 2 + 2 * table.columns);
        for (const CharRow &row : table.rows) {
            EXPECT_EQ(row.cells.size(), table.columns);
            EXPECT_EQ(row.rva, table.rva + table.row_size * (&row - table.rows.data()));
        }
    }
}

TEST_F(Tables, EveryNonNullPointerLandsWhereItsTableWasRead)
{
    for (const PointerField &p : t().pointers) {
        if (p.value == 0)
            continue;
        EXPECT_EQ(p.field_rva % 8, 0u) << p.label();
        EXPECT_EQ(p.value >> 32, 0u) << p.label();
    }
    for (uint32_t i = 0; i < t().char_tables.size(); ++i) {
        const PointerField *rows = find_pointer(t(), {PointerSlot::CharTableRows, i});
        ASSERT_NE(rows, nullptr) << "table " << i;
        EXPECT_EQ(rows->target_rva, t().char_tables[i].rva) << rows->label();
    }
}

// Each field is recorded once under its own id, and a list's entries under
// their own indices, so a look-up by id finds the field it names.
TEST_F(Tables, EveryPointerFieldHasItsOwnId)
{
    for (size_t i = 0; i < t().pointers.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(t().pointers[i].id == t().pointers[j].id)
                << t().pointers[i].label() << " at RVA " << hex(t().pointers[i].field_rva)
                << " and at RVA " << hex(t().pointers[j].field_rva);
    const uint32_t names = find_pointer(t(), {PointerSlot::KeyNames})->target_rva;
    for (uint32_t i = 0; i < t().key_names.size(); ++i) {
        const PointerField *name = find_pointer(t(), {PointerSlot::KeyName, i});
        ASSERT_NE(name, nullptr) << i;
        // after the scan code, padded to the pointer's alignment
        EXPECT_EQ(name->field_rva, names + 16 * i + 8) << name->label();
    }
    // The end record's field is read too, and is null.
    const auto end = static_cast<uint32_t>(t().key_names.size());
    const PointerField *last = find_pointer(t(), {PointerSlot::KeyName, end});
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->value, 0u);
    EXPECT_EQ(find_pointer(t(), {PointerSlot::KeyName, end + 1}), nullptr);
}

TEST(VirtualKeyNames, NameAndLookUpAgree)
{
    struct Case {
        const char *name;
        uint8_t vk;
    };
    const Case cases[] = {
        {"VK_RSHIFT", 0xA1}, {"VK_ALTGR", 0xE8}, {"VK_ABNT_C2", 0xC2}, {"VK_OEM_8", 0xDF},
        {"VK_LMENU", 0xA4},  {"VK_OEM_102", 0xE2}, {"VK_ICO_00", 0xE4}, {"VK_PAUSE", 0x13},
    };
    for (const Case c : cases) {
        EXPECT_EQ(vk_label(c.vk), c.name);
        EXPECT_EQ(vk_from_name(c.name), c.vk) << c.name;
    }
    EXPECT_EQ(vk_from_name("rshift"), 0xA1);
    EXPECT_EQ(vk_from_name("VK_HANGUL"), 0x15);
    EXPECT_EQ(vk_from_name("a"), 'A');
    EXPECT_EQ(vk_from_name("0xE8"), 0xE8);
    EXPECT_EQ(vk_from_name("VK_NOSUCHKEY"), std::nullopt);
    EXPECT_EQ(vk_from_name("0x100"), std::nullopt);
    // Numbers in decimal or after 0x, up to a byte and never wrapped.
    EXPECT_EQ(vk_from_name("0XE8"), 0xE8);
    EXPECT_EQ(vk_from_name("232"), 0xE8);
    EXPECT_EQ(vk_from_name("0"), 0x30);   // a digit is that digit's key
    EXPECT_EQ(vk_from_name("00"), 0x00);
    for (const char *bad : {"256", "0x", "1 ", "1-", "18446744073709551617", "4294967298"})
        EXPECT_EQ(vk_from_name(bad), std::nullopt) << bad;
    EXPECT_EQ(vk_label('Q'), "Q");
    EXPECT_EQ(vk_label(0x0A), "0x0A");
}

TEST_F(Tables, EveryScanMapKeyHasAName)
{
    for (size_t scan = 0; scan < t().scan_map.size(); ++scan) {
        const auto vk = static_cast<uint8_t>(t().scan_map[scan]);
        EXPECT_TRUE(vk_name(vk) || std::isalnum(vk)) << "scan " << hex(scan, 2);
    }
    for (const ScanCodeEntry &e : t().scan_map_e0)
        EXPECT_NE(vk_name(static_cast<uint8_t>(e.vk)), nullptr) << "E0 " << hex(e.scan, 2);
}

}  // namespace
}  // namespace wendol
