// verify_cells.h - what the keyboard sweep read of the character tables, and
// the check of the cells it never read: a column no modifier bits select,
// and cells no key state reaches, each with the reason.
#pragma once

#include <cstddef>
#include <set>
#include <tuple>
#include <utility>

#include "engine/keymap.h"
#include "verify/verify.h"

namespace wendol {

struct SweepRecord {
    std::set<std::tuple<size_t, size_t, size_t>> read;   // (table, row, column) a press read
    std::set<char16_t> typed;                             // characters and dead characters given
    std::set<std::pair<size_t, size_t>> broken;           // key rows the tables could not answer
};

// A column of a table that no modifier bits up to wMaxModBits select is an
// error naming the characters lost with it; any other cell of a key's rows
// that no press read is a warning saying why, one per row (or, for the
// keypad's Shift column, one per column).
void verify_cells(const Keymap &keymap, const SweepRecord &record, Findings &findings);

}  // namespace wendol
