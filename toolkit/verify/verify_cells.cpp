// verify_cells.cpp - the cells of the character tables the sweep never read:
// a column that no modifier bits select, and cells that no key state
// reaches, each told with why.
#include "verify_cells.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "engine/typing.h"
#include "tables/char_rows.h"
#include "tables/vk_names.h"

namespace wendol {

namespace {

constexpr unsigned kShiftBit = kKbdShift;

// WCH_NONE and WCH_LGTR give no character of the cell's own.
bool holds_character(uint16_t cell)
{
    return cell != kWchNone && cell != kWchLigature;
}

// The rows a key's cells are read from: the row the platform finds for
// each virtual key (a second row for one is its own finding) and its Caps
// Lock row.
std::vector<RowRef> typing_rows(const Keymap &keymap)
{
    std::vector<RowRef> rows;
    const auto &tables = keymap.tables().char_tables;
    for (size_t t = 0; t < tables.size(); ++t) {
        for (size_t r = 0; r < tables[t].rows.size(); ++r) {
            const RowRef ref{t, r};
            if (keymap.part(ref).role != RowRole::KeyRow ||
                keymap.find_row(keymap.row(ref).vk) != ref)
                continue;
            rows.push_back(ref);
            if (const auto caps = keymap.part(ref).caps)
                rows.push_back({t, *caps});
        }
    }
    return rows;
}

// What the cell gives: its character, or for a dead cell the dead character
// of the row below.
std::optional<char16_t> cell_character(const Keymap &keymap, RowRef ref, size_t column)
{
    const uint16_t cell = keymap.row(ref).cells[column];
    if (cell != kWchDead)
        return holds_character(cell) ? std::optional<char16_t>(cell) : std::nullopt;
    const std::optional<size_t> below = keymap.part(ref).dead;
    if (!below)
        return std::nullopt;
    const auto &cells = keymap.row({ref.table, *below}).cells;
    if (column >= cells.size() || !holds_character(cells[column]) || cells[column] == kWchDead)
        return std::nullopt;
    return cells[column];
}

std::string cell_text(const Keymap &keymap, RowRef ref, size_t column)
{
    const std::optional<char16_t> ch = cell_character(keymap, ref, column);
    if (!ch)
        return "WCH_DEAD";
    return (keymap.row(ref).cells[column] == kWchDead ? "dead " : "") + character_label(*ch);
}

std::string listed(const std::vector<std::string> &items)
{
    std::string out;
    for (const std::string &item : items)
        out += (out.empty() ? "" : ", ") + item;
    return out;
}

// "ModNumber[0..3] selects 0, 1, 15, 3"
std::string selection(const Modifiers &m)
{
    std::vector<std::string> columns;
    for (uint8_t column : m.mod_number)
        columns.push_back(std::to_string(column));
    return "ModNumber[0.." + std::to_string(m.max_mod_bits) + "] selects " + listed(columns);
}

std::string column_place(const CharTable &table, size_t t, size_t column)
{
    return "table " + std::to_string(t + 1) + " column " + std::to_string(column) + " (RVA " +
           hex(table.rva) + ")";
}

using Column = std::pair<size_t, size_t>;   // (table, column)

// Columns of a table that no modifier bits up to wMaxModBits select: what
// only they hold is typed by no key state at all.
std::set<Column> hidden_columns(const Keymap &keymap, const std::vector<RowRef> &rows,
                                const SweepRecord &record, Findings &findings)
{
    const Modifiers &m = keymap.tables().modifiers;
    const std::set<uint8_t> selected(m.mod_number.begin(), m.mod_number.end());
    std::set<Column> hidden;
    const auto &tables = keymap.tables().char_tables;
    for (size_t t = 0; t < tables.size(); ++t) {
        for (size_t c = 0; c < tables[t].columns; ++c) {
            if (selected.count(static_cast<uint8_t>(c)))
                continue;
            hidden.insert({t, c});
            std::vector<std::string> lost;
            for (const RowRef &ref : rows) {
                if (ref.table != t || c >= keymap.row(ref).cells.size())
                    continue;
                const std::optional<char16_t> ch = cell_character(keymap, ref, c);
                if (ch && !record.typed.count(*ch))
                    lost.push_back(cell_text(keymap, ref, c));
            }
            const std::string place = column_place(tables[t], t, c);
            const std::string expected = "modifier bits up to wMaxModBits (" +
                                         std::to_string(m.max_mod_bits) +
                                         ") that select column " + std::to_string(c);
            const std::string none = "none (" + selection(m) + ")";
            // A column holding nothing that is not typed elsewhere loses nothing.
            if (lost.empty())
                findings.warning("modifiers", place, expected,
                                 none + "; only a warning, as every character in it is typed "
                                        "by another key state");
            else
                findings.error("modifiers", place, expected,
                               none + ", so no key state types " + listed(lost));
        }
    }
    return hidden;
}

// The keypad's digit keys as Num Lock makes them: VK_NUMPAD0..9, VK_DECIMAL.
bool is_keypad_digit(uint8_t vk)
{
    return (vk >= 0x60 && vk <= 0x69) || vk == 0x6E;
}

// Whether some scan code sends the virtual key, directly or through Num
// Lock on a keypad key.
bool sent_by_a_key(const Keymap &keymap, uint8_t vk)
{
    for (const auto &[scan, mapped] : keymap.scan_codes()) {
        const auto sent = static_cast<uint8_t>(mapped & 0xFF);
        if (sent == vk || ((mapped & kKbdNumpad) && num_lock_key(sent) == vk))
            return true;
    }
    return false;
}

// Every modifier bits value that selects the column holds Shift.
bool only_with_shift(const Modifiers &m, size_t column)
{
    bool any = false;
    for (size_t bits = 0; bits < m.mod_number.size(); ++bits) {
        if (m.mod_number[bits] != column)
            continue;
        any = true;
        if (!(bits & kShiftBit))
            return false;
    }
    return any;
}

// One row's cells no press read.
struct Unread {
    std::vector<size_t> columns;
    std::vector<std::string> cells;
};

// The same character from several cells is listed once.
std::vector<std::string> distinct(const std::vector<std::string> &items)
{
    std::vector<std::string> out;
    for (const std::string &item : items)
        if (std::find(out.begin(), out.end(), item) == out.end())
            out.push_back(item);
    return out;
}

void report_keypad(const Keymap &keymap, const std::map<Column, Unread> &keypad,
                   Findings &findings)
{
    for (const auto &[at, unread] : keypad)
        findings.warning(
            "reach",
            column_place(keymap.tables().char_tables[at.first], at.first, at.second) +
                ", the keypad's digit keys",
            "a key state that types " + listed(distinct(unread.cells)),
            "none, and only a warning: the platform turns Shift+keypad into the navigation "
            "keys while Num Lock is on, and without Num Lock the keys are navigation keys "
            "anyway");
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
        items.push_back(std::to_string(c) + " (modifier bits " + listed(bits) + ")");
    }
    return (columns.size() == 1 ? "column " : "columns ") + listed(items);
}

void report_row(const Keymap &keymap, RowRef ref, const Unread &unread, Findings &findings)
{
    findings.warning("reach", row_place(keymap.tables(), ref),
                     "a key state that types " + listed(unread.cells),
                     "none, and only a warning as the platform types nothing wrong: no key "
                     "sending the row's virtual key, under any combination of the map's "
                     "modifier keys with the locks off or on, reads " +
                         selected_by(keymap.tables().modifiers, unread.columns));
}


// Cells of the keys' rows, outside the hidden columns, that no press read.
void unreached_cells(const Keymap &keymap, const std::vector<RowRef> &rows,
                     const std::set<Column> &hidden, const SweepRecord &record,
                     Findings &findings)
{
    const Modifiers &m = keymap.tables().modifiers;
    std::map<Column, Unread> keypad;
    for (const RowRef &ref : rows) {
        const size_t key_row = keymap.part(ref).role == RowRole::CapsLock ? ref.row - 1 : ref.row;
        if (record.broken.count({ref.table, key_row}))
            continue;
        // A virtual key no scan code of the layout sends may still come from
        // another keyboard's driver or a program: its row is no finding.
        if (!sent_by_a_key(keymap, keymap.row({ref.table, key_row}).vk))
            continue;
        const CharRow &row = keymap.row(ref);
        const size_t columns = std::min<size_t>(row.cells.size(), keymap.table(ref).columns);
        Unread unread;
        for (size_t c = 0; c < columns; ++c) {
            if (hidden.count({ref.table, c}) || !holds_character(row.cells[c]) ||
                record.read.count({ref.table, ref.row, c}))
                continue;
            const uint8_t vk = keymap.row({ref.table, key_row}).vk;
            if (is_keypad_digit(vk) && only_with_shift(m, c)) {
                Unread &column = keypad[{ref.table, c}];
                column.cells.push_back(cell_text(keymap, ref, c));
                continue;
            }
            unread.columns.push_back(c);
            unread.cells.push_back(cell_text(keymap, ref, c));
        }
        if (!unread.cells.empty())
            report_row(keymap, ref, unread, findings);
    }
    report_keypad(keymap, keypad, findings);
}

}  // namespace

void verify_cells(const Keymap &keymap, const SweepRecord &record, Findings &findings)
{
    const std::vector<RowRef> rows = typing_rows(keymap);
    const std::set<Column> hidden = hidden_columns(keymap, rows, record, findings);
    unreached_cells(keymap, rows, hidden, record, findings);
}

}  // namespace wendol
