// verify_rows.cpp - the character tables row by row: every key row with the
// continuation rows its attributes and dead cells call for, the dead cells'
// characters, and the WCH_LGTR cells the ligature list must serve.
#include <algorithm>
#include <array>
#include <optional>

#include "tables/cell_label.h"
#include "tables/char_rows.h"
#include "tables/vk_names.h"
#include "table_rules.h"

namespace wendol::table_rules {

namespace {

// One character table, row by row: every key row with the continuation
// rows its attributes and dead cells call for (char_rows.h).
class RowCheck {
public:
    RowCheck(const Keymap &keymap, size_t table, Findings &findings, DeadSources &dead,
             LigatureCells &ligature_cells)
        : keymap_(keymap), t_(keymap.tables()), table_(table),
          rows_(t_.char_tables[table].rows), findings_(findings), dead_(dead),
          ligature_cells_(ligature_cells)
    {
    }

    void run()
    {
        for (size_t r = 0; r < rows_.size(); ++r) {
            if (part(r).role == RowRole::Stray) {
                findings_.warning(Check::Rows, place(r),
                                  "a continuation row under the row it continues",
                                  "one that belongs to no key row",
                                  "only a warning, as the platform never reads it");
            } else if (part(r).role == RowRole::KeyRow) {
                shadowed(r);
                key(r);
            }
        }
    }

private:
    const RowPart &part(size_t r) const { return keymap_.part(RowRef{table_, r}); }

    // The platform takes the first row for a key in list order.
    void shadowed(size_t r)
    {
        const std::optional<RowRef> first = keymap_.find_row(rows_[r].vk);
        if (first == RowRef{table_, r})
            return;
        findings_.warning(Check::Rows, place(r), "one row per virtual key",
                          "a second row, never read: the key's row is " + row_text(t_, *first),
                          "only a warning, as the platform types that one alone");
    }

    // The key row at `r` and its continuation rows.
    void key(size_t r)
    {
        const RowPart &key_part = part(r);
        ligatures(r, rows_[r].vk);
        if (key_part.caps)
            ligatures(*key_part.caps, rows_[r].vk);
        else if (rows_[r].attributes & kSgCaps)
            findings_.error(Check::Rows, place(r), "a Caps Lock row (0xFF) under an SGCAPS row",
                            row_below(t_.char_tables[table_], r));
        // The Caps Lock row doubles as the key row's dead-character row.
        if (has_dead_cell(rows_[r]))
            dead_cells(r, key_part.dead, key_part.dead != key_part.caps);
        if (key_part.caps && has_dead_cell(rows_[*key_part.caps]))
            dead_cells(*key_part.caps, part(*key_part.caps).dead, true);
    }

    void dead_cells(size_t r, std::optional<size_t> below, bool dedicated)
    {
        const CharRow &row = rows_[r];
        for (size_t c = 0; c < row.cells.size(); ++c) {
            if (row.cells[c] != kWchDead)
                continue;
            const Place at = place(r, c);
            if (!below) {
                findings_.error(Check::DeadKeys, at, "a dead-character row (0xFF) under the row",
                                "none");
                continue;
            }
            const uint16_t dead = rows_[*below].cells[c];
            if (!is_character_cell(dead))
                findings_.error(Check::DeadKeys, at,
                                "a dead character in the same column of " +
                                    row_text(t_, RowRef{table_, *below}),
                                cell_label(dead));
            else
                dead_.emplace(static_cast<char16_t>(dead), at);
        }
        if (!below || !dedicated)
            return;
        // A dead-character row's other cells are WCH_NONE: the platform's
        // reverse lookup would report a character there on this key.
        for (size_t c = 0; c < row.cells.size(); ++c)
            if (row.cells[c] != kWchDead && rows_[*below].cells[c] != kWchNone)
                findings_.warning(Check::DeadKeys, place(*below, c),
                                  "WCH_NONE where the row above has no dead cell",
                                  cell_label(rows_[*below].cells[c]),
                                  "only a warning, as it is never typed (a reverse lookup may "
                                  "still report it on this key)");
    }

    // The platform looks a WCH_LGTR cell up by the key and the column; a
    // cell the list has no entry for types nothing.
    void ligatures(size_t r, uint8_t vk)
    {
        const CharRow &row = rows_[r];
        for (size_t c = 0; c < row.cells.size(); ++c) {
            if (row.cells[c] != kWchLigature)
                continue;
            ligature_cells_.emplace(vk, static_cast<uint16_t>(c));
            if (!keymap_.ligature(vk, static_cast<uint8_t>(c)))
                findings_.error(Check::Ligatures, place(r, c),
                                "an entry for " + vk_label(vk) + " column " + std::to_string(c) +
                                    " in the ligature list",
                                t_.ligature ? "none" : "no ligature list",
                                "the key types nothing");
        }
    }

    Place place(size_t r, std::optional<size_t> column = std::nullopt) const
    {
        return row_place(t_, RowRef{table_, r}, column);
    }

    const Keymap &keymap_;
    const LayoutTables &t_;
    size_t table_;
    const std::vector<CharRow> &rows_;
    Findings &findings_;
    DeadSources &dead_;
    LigatureCells &ligature_cells_;
};

}  // namespace

DeadSources check_rows(const Keymap &keymap, Findings &findings, LigatureCells &ligature_cells)
{
    DeadSources dead;
    for (size_t table = 0; table < keymap.tables().char_tables.size(); ++table)
        RowCheck(keymap, table, findings, dead, ligature_cells).run();
    return dead;
}

}  // namespace wendol::table_rules
