// verify_cells.cpp - the cells of the character tables the sweep never read:
// a column that no modifier bits select, and cells that no key state
// reaches, each told with why.
#include "verify_cells.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "engine/keyboard_sweep.h"
#include "engine/typing.h"
#include "tables/char_rows.h"
#include "tables/vk_names.h"

namespace wendol {

namespace {

// The cells keys read: of the row the platform finds for each virtual key
// (a second row for one is its own finding) and of its Caps Lock row, as
// the keymap resolved them, each once (an SGCAPS row's next row may be a
// key row of its own).
std::vector<const Cell *> typing_cells(const Keymap &keymap)
{
    std::vector<const Cell *> cells;
    std::set<std::tuple<size_t, size_t, size_t>> seen;
    for (unsigned vk = 0; vk < 256; ++vk)
        for (bool caps_row : {false, true})
            for (const Cell &cell : keymap.cells_of(static_cast<uint8_t>(vk), caps_row))
                if (seen.insert({cell.read_row.table, cell.read_row.row, *cell.column}).second)
                    cells.push_back(&cell);
    return cells;
}

// A cell that gives a character of its own (a dead cell its dead character).
bool gives_character(const Cell &cell)
{
    return cell.kind == Cell::Kind::Character || cell.kind == Cell::Kind::Dead;
}

std::string cell_text(const Cell &cell)
{
    return (cell.kind == Cell::Kind::Dead ? "dead " : "") + character_label(cell.ch);
}

// "ModNumber[0..3] selects 0, 1, SHFT_INVALID, 3"
std::string selection(const Modifiers &m)
{
    std::vector<std::string> columns;
    for (uint8_t column : m.mod_number)
        columns.push_back(column == kShiftInvalid ? "SHFT_INVALID" : std::to_string(column));
    return "ModNumber[0.." + std::to_string(m.max_mod_bits) + "] selects " + joined(columns);
}

using Column = std::pair<size_t, size_t>;   // (table, column)

// The columns of each table, one place for them all.
Place columns_place(const Keymap &keymap, const std::set<Column> &columns)
{
    Place place;
    for (const auto &[t, c] : columns) {
        if (place.tables.empty() || place.tables.back().table != t)
            place.tables.push_back({t, std::nullopt, {}, std::nullopt,
                                    keymap.tables().char_tables[t].rva});
        place.tables.back().columns.push_back(c);
    }
    return place;
}

// The same character from several cells is listed once.
std::vector<std::string> distinct(const std::vector<std::string> &items)
{
    std::vector<std::string> out;
    for (const std::string &item : items)
        if (std::find(out.begin(), out.end(), item) == out.end())
            out.push_back(item);
    return out;
}

// Columns of a table that no modifier bits up to wMaxModBits select: what
// only they hold is typed by no key state at all.  One warning for them
// all, naming the columns and what is lost: the platform types nothing
// wrong, it only never types those cells.
std::set<Column> hidden_columns(const Keymap &keymap, const std::vector<const Cell *> &cells,
                                const SweepRecord &record, Findings &findings)
{
    const Modifiers &m = keymap.tables().modifiers;
    std::set<uint8_t> selected;
    for (size_t bits = 0; bits <= m.max_mod_bits && bits < m.mod_number.size(); ++bits)
        selected.insert(m.mod_number[bits]);
    std::set<Column> hidden;
    const auto &tables = keymap.tables().char_tables;
    for (size_t t = 0; t < tables.size(); ++t)
        for (size_t c = 0; c < tables[t].columns; ++c)
            if (!selected.count(static_cast<uint8_t>(c)))
                hidden.insert({t, c});
    if (hidden.empty())
        return hidden;
    std::vector<std::string> lost;
    for (const Cell *cell : cells)
        if (hidden.count({cell->read_row.table, *cell->column}) && gives_character(*cell) &&
            !record.typed.count(cell->ch) && sent_by_a_key(keymap, keymap.row(cell->key_row).vk))
            lost.push_back(cell_text(*cell));
    lost = distinct(lost);
    findings.warning(Check::Modifiers, columns_place(keymap, hidden),
                     "modifier bits up to wMaxModBits (" + std::to_string(m.max_mod_bits) +
                         ") that select " + (hidden.size() == 1 ? "the column" : "each column"),
                     "none (" + selection(m) + ")" +
                         (lost.empty() ? "" : ", so no key state types " + joined(lost)),
                     lost.empty() ? "only a warning, as every character in them is typed by "
                                    "another key state"
                                  : "only a warning, as the platform types nothing wrong: it "
                                    "only never types those cells");
    return hidden;
}

// The virtual keys Num Lock makes of the keypad's digit block.
std::set<uint8_t> keypad_digits(const Keymap &keymap)
{
    std::set<uint8_t> digits;
    for (const auto &[scan, mapped] : keymap.scan_codes())
        if (const std::optional<uint8_t> digit = keypad_digit(mapped))
            digits.insert(*digit);
    return digits;
}

// Whether every modifier bits value up to wMaxModBits that selects the
// column has `held` true of it (and one does).
template <class Held>
bool only_with(const Modifiers &m, size_t column, Held held)
{
    bool any = false;
    for (size_t bits = 0; bits <= m.max_mod_bits && bits < m.mod_number.size(); ++bits) {
        if (m.mod_number[bits] != column)
            continue;
        any = true;
        if (!held(static_cast<unsigned>(bits)))
            return false;
    }
    return any;
}

// A column of a keypad digit key that only bits under which Num Lock gives
// the navigation key select.
bool only_past_digit(const Modifiers &m, size_t column)
{
    return only_with(m, column, [](unsigned bits) { return !Keymap::sends_keypad_digit(bits); });
}

// A column of an SGCAPS key's Caps Lock row that only bits the keymap never
// reads that row with select.
bool only_past_shift(const Modifiers &m, size_t column)
{
    return only_with(m, column, [](unsigned bits) { return !Keymap::reads_caps_row(bits); });
}

// One row's cells no press read.
struct Unread {
    std::vector<size_t> columns;
    std::vector<std::string> cells;
};

void report_keypad(const Keymap &keymap, const std::map<Column, Unread> &keypad,
                   Findings &findings)
{
    for (const auto &[at, unread] : keypad) {
        Place place = columns_place(keymap, {at});
        place.what = "the keypad's digit keys";
        findings.warning(
            Check::Reach, std::move(place),
            "a key state that types " + joined(distinct(unread.cells)), "none",
            "only a warning: the platform turns Shift+keypad into the navigation keys while "
            "Num Lock is on, and without Num Lock the keys are navigation keys anyway");
    }
}

// One warning for the Caps Lock rows of every table: which columns of them
// are never read, and what they hold.
void report_caps_rows(const Keymap &keymap, const std::map<size_t, Unread> &caps_rows,
                      Findings &findings)
{
    if (caps_rows.empty())
        return;
    std::set<Column> columns;
    std::vector<std::string> cells;
    for (const auto &[t, unread] : caps_rows) {
        for (size_t c : unread.columns)
            columns.insert({t, c});
        cells.insert(cells.end(), unread.cells.begin(), unread.cells.end());
    }
    Place place = columns_place(keymap, columns);
    place.what = "the Caps Lock rows of the SGCAPS keys";
    findings.warning(
        Check::Reach, std::move(place), "a key state that types " + joined(distinct(cells)),
        "none",
        "only a warning: the platform reads an SGCAPS key's Caps Lock row only while nothing "
        "but Shift is held, and with other modifiers the key's own row, whatever Caps Lock "
        "says");
}

// "column 1 (modifier bits 1, 5)": the bits that select each column.
std::string selected_by(const Modifiers &m, const std::vector<size_t> &columns)
{
    std::vector<std::string> items;
    for (size_t c : columns) {
        std::vector<std::string> bits;
        for (size_t b = 0; b < m.mod_number.size(); ++b)
            if (m.mod_number[b] == c)
                bits.push_back(std::to_string(b));
        items.push_back(std::to_string(c) + " (modifier bits " + joined(bits) + ")");
    }
    return (columns.size() == 1 ? "column " : "columns ") + joined(items);
}

void report_row(const Keymap &keymap, RowRef ref, const Unread &unread, Findings &findings)
{
    findings.warning(Check::Reach, row_place(keymap.tables(), ref),
                     "a key state that types " + joined(unread.cells), "none",
                     "only a warning as the platform types nothing wrong: no key sending the "
                     "row's virtual key, under any combination of the map's modifier keys "
                     "with the locks off or on, reads " +
                         selected_by(keymap.tables().modifiers, unread.columns));
}

// Cells of the keys' rows, outside the hidden columns, that no press read,
// told by the row they sit in.
void unreached_cells(const Keymap &keymap, const std::vector<const Cell *> &cells,
                     const std::set<Column> &hidden, const SweepRecord &record,
                     Findings &findings)
{
    const Modifiers &m = keymap.tables().modifiers;
    const std::set<uint8_t> digits = keypad_digits(keymap);
    std::map<Column, Unread> keypad;
    std::map<size_t, Unread> caps_rows;                 // by table
    std::map<std::pair<size_t, size_t>, Unread> rows;   // by (table, row), in table order
    for (const Cell *cell : cells) {
        const uint8_t vk = keymap.row(cell->key_row).vk;
        const size_t c = *cell->column;
        // A virtual key no scan code of the layout sends may still come from
        // another keyboard's driver or a program: its row is no finding.
        if (record.broken.count({cell->key_row.table, cell->key_row.row}) ||
            !sent_by_a_key(keymap, vk) || hidden.count({cell->read_row.table, c}) ||
            !gives_character(*cell) ||
            record.read.count({cell->read_row.table, cell->read_row.row, c}))
            continue;
        if (digits.count(vk) && only_past_digit(m, c)) {
            keypad[{cell->read_row.table, c}].cells.push_back(cell_text(*cell));
            continue;
        }
        if (cell->read_row != cell->key_row && only_past_shift(m, c)) {
            Unread &caps = caps_rows[cell->read_row.table];
            caps.columns.push_back(c);
            caps.cells.push_back(cell_text(*cell));
            continue;
        }
        Unread &row = rows[{cell->read_row.table, cell->read_row.row}];
        row.columns.push_back(c);
        row.cells.push_back(cell_text(*cell));
    }
    for (const auto &[at, unread] : rows)
        report_row(keymap, RowRef{at.first, at.second}, unread, findings);
    report_keypad(keymap, keypad, findings);
    report_caps_rows(keymap, caps_rows, findings);
}

}  // namespace

void verify_cells(const Keymap &keymap, const SweepRecord &record, Findings &findings)
{
    const std::vector<const Cell *> cells = typing_cells(keymap);
    const std::set<Column> hidden = hidden_columns(keymap, cells, record, findings);
    unreached_cells(keymap, cells, hidden, record, findings);
}

}  // namespace wendol
