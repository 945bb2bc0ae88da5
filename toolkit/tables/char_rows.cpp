// char_rows.cpp - which rows follow a key row, worked out in one place.
#include "tables/char_rows.h"

#include <algorithm>

#include "base/error.h"

namespace wendol {

bool has_dead_cell(const CharRow &row)
{
    return std::find(row.cells.begin(), row.cells.end(), kWchDead) != row.cells.end();
}

std::string row_below(const CharTable &table, size_t row)
{
    if (row + 1 >= table.rows.size())
        return "the end of the table";
    return "the row of VK " + hex(table.rows[row + 1].vk, 2);
}

std::vector<RowPart> row_parts(const CharTable &table)
{
    const auto &rows = table.rows;
    std::vector<RowPart> parts(rows.size());
    auto continuation = [&](size_t r) { return r < rows.size() && rows[r].vk == kContinuationVk; };
    // The next continuation row below `next`, taken for `role`.
    auto take = [&](size_t &next, RowRole role) -> std::optional<size_t> {
        if (!continuation(next))
            return std::nullopt;
        parts[next].role = role;
        return next++;
    };
    for (size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].vk == kContinuationVk)
            continue;   // taken by the key row above, or Stray
        RowPart &key = parts[r];
        key.role = RowRole::KeyRow;
        size_t next = r + 1;
        if (rows[r].attributes & kSgCaps)
            key.caps = take(next, RowRole::CapsLock);
        if (has_dead_cell(rows[r]))
            key.dead = key.caps ? key.caps : take(next, RowRole::DeadCharacters);
        if (key.caps && has_dead_cell(rows[*key.caps]))
            parts[*key.caps].dead = take(next, RowRole::DeadCharacters);
        r = next - 1;
    }
    return parts;
}

std::string row_text(const LayoutTables &tables, RowRef ref, std::optional<size_t> column)
{
    const CharRow &row = tables.char_tables.at(ref.table).rows.at(ref.row);
    return "table " + std::to_string(ref.table + 1) + " row " + std::to_string(ref.row) +
           (column ? " column " + std::to_string(*column) : "") + " (VK " + hex(row.vk, 2) +
           ", RVA " + hex(row.rva) + ")";
}

}  // namespace wendol
