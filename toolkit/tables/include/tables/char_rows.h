// char_rows.h - the rows of a character table as the platform groups them:
// each key row, then the continuation rows (VK 0xFF) its attributes and
// dead cells call for, and where a row sits, told one way everywhere.
//
// Below a key row come, in this order: its Caps Lock row when the row is
// SGCAPS; then the dead-character row of the key row's WCH_DEAD cells,
// unless the Caps Lock row already stands in for it; then the
// dead-character row of the Caps Lock row's own WCH_DEAD cells.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tables/tables.h"

namespace wendol {

// A row of the character tables: its table's place in the list and its own
// place in that table.
struct RowRef {
    size_t table = 0;
    size_t row = 0;
    friend bool operator==(const RowRef &, const RowRef &) = default;
};

// Which part a row plays for its key.
enum class RowRole { KeyRow, CapsLock, DeadCharacters, Stray };

// One row's part, and the rows that continue it (indices in the same table).
struct RowPart {
    RowRole role = RowRole::Stray;   // Stray: a continuation row of no key
    // A key row's Caps Lock row, when the row is SGCAPS and one follows.
    std::optional<size_t> caps;
    // For a key row or a Caps Lock row with WCH_DEAD cells, the row holding
    // their dead characters, when one follows.  A key row's is its Caps Lock
    // row where it has one.
    std::optional<size_t> dead;
};

// Each row's part, one per row of `table`.  A row a rule calls for but the
// table lacks is simply not there (caps or dead unset): the caller decides
// whether that is a fault or a refusal.
std::vector<RowPart> row_parts(const CharTable &table);

bool has_dead_cell(const CharRow &row);

// What `table` holds below row `row`, for a fault that found no continuation
// row there: "the row of VK 0x42" or "the end of the table".
std::string row_below(const CharTable &table, size_t row);

// "table 6 row 25 (VK 0xBB, RVA 0x2700)", or with a column
// "table 6 row 25 column 3 (VK 0xBB, RVA 0x2700)": tables are counted from
// 1 as a maintainer counts them, rows from 0 as they are stored.
std::string row_text(const LayoutTables &tables, RowRef ref,
                      std::optional<size_t> column = std::nullopt);

}  // namespace wendol
