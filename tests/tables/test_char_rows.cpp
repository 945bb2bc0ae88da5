// test_char_rows.cpp - which rows follow a key row, on a table that has
// every case side by side (the ones a damaged image gives too), and on the
// built module.
#include <gtest/gtest.h>

#include "support/image_helpers.h"
#include "tables/char_rows.h"
#include "tables/table_extents.h"

namespace wendol {
namespace {

CharRow row(uint8_t vk, uint8_t attributes, std::vector<uint16_t> cells)
{
    return CharRow{vk, attributes, std::move(cells), 0};
}

constexpr uint8_t kFF = kContinuationVk;

TEST(CharRows, EachKeyRowTakesTheContinuationRowsItCallsFor)
{
    const uint16_t d = kWchDead, n = kWchNone;
    CharTable table{2, 6, 0, {
        row('A', kSgCaps, {d, 'A'}),   // 0: SGCAPS, dead cells in both rows
        row(kFF, 0, {d, 'b'}),         // 1: its Caps Lock row, also its dead row
        row(kFF, 0, {'`', n}),         // 2: the Caps Lock row's dead row
        row('C', 0, {d, 'C'}),         // 3: dead cells, no SGCAPS
        row(kFF, 0, {'^', n}),         // 4: its dead row
        row('E', kSgCaps, {d, 'E'}),   // 5: SGCAPS, dead cells in the key row only
        row(kFF, 0, {'~', 'e'}),       // 6: Caps Lock row standing in as the dead row
        row('G', 0, {'g', 'G'}),       // 7: no continuation row called for...
        row(kFF, 0, {'h', 'H'}),       // 8: ...so this one is no key's
        row('I', kSgCaps, {d, 'I'}),   // 9: SGCAPS and dead cells, nothing below
        row('J', 0, {d, 'J'}),         // 10: dead cells, last in the table
    }};
    using R = RowRole;
    struct Want {
        RowRole role;
        std::optional<size_t> caps, dead;
    };
    const Want want[] = {
        {R::KeyRow, 1, 1}, {R::CapsLock, {}, 2}, {R::DeadCharacters, {}, {}},
        {R::KeyRow, {}, 4}, {R::DeadCharacters, {}, {}},
        {R::KeyRow, 6, 6}, {R::CapsLock, {}, {}},
        {R::KeyRow, {}, {}}, {R::Stray, {}, {}},
        {R::KeyRow, {}, {}},
        {R::KeyRow, {}, {}},
    };
    const std::vector<RowPart> parts = row_parts(table);
    ASSERT_EQ(parts.size(), std::size(want));
    for (size_t r = 0; r < parts.size(); ++r) {
        SCOPED_TRACE("row " + std::to_string(r));
        EXPECT_EQ(parts[r].role, want[r].role);
        EXPECT_EQ(parts[r].caps, want[r].caps);
        EXPECT_EQ(parts[r].dead, want[r].dead);
    }
    EXPECT_EQ(row_below(table, 9), "the row of VK 0x4A");
    EXPECT_EQ(row_below(table, 10), "the end of the table");
}

// In the module every continuation row belongs to a key, and each key's
// dead cells have their dead characters in the row the rule names.
TEST(CharRows, TheModuleHasNoStrayRowAndNoDeadCellWithoutItsRow)
{
    const LayoutTables tables = read_tables(test::map_module());
    size_t dead_rows = 0;
    for (size_t t = 0; t < tables.char_tables.size(); ++t) {
        const CharTable &table = tables.char_tables[t];
        const std::vector<RowPart> parts = row_parts(table);
        for (size_t r = 0; r < parts.size(); ++r) {
            SCOPED_TRACE(row_text(tables, RowRef{t, r}));
            EXPECT_NE(parts[r].role, RowRole::Stray);
            const bool reads =
                parts[r].role == RowRole::KeyRow || parts[r].role == RowRole::CapsLock;
            EXPECT_EQ(reads && has_dead_cell(table.rows[r]), parts[r].dead.has_value());
            dead_rows += parts[r].role == RowRole::DeadCharacters;
        }
    }
    EXPECT_GT(dead_rows, 0u);
}

}  // namespace
}  // namespace wendol
