// table_rules.h - the tables' rules, one file per job, and what
// the jobs share: the place of a list's entry, and what the rows tell the
// ligature and dead-key checks.
//
//   verify_tables.cpp     the modifier numbers; the order the jobs run in
//   verify_rows.cpp       key rows and their continuation rows, dead cells,
//                         WCH_LGTR cells
//   verify_ligatures.cpp  the ligature list
//   verify_dead_keys.cpp  dead characters, compositions, dead-key names
//   verify_lists.cpp      lists searched by scan code, key names off their
//                         alignment, tables that overlap, an older root record
//   verify_unmodelled.cpp row attributes, modifier bits and locale flags the
//                         engine does not model
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "engine/keymap.h"
#include "tables/tables.h"
#include "verify/verify.h"

namespace wendol::table_rules {

// Where the non-null pointer in `slot` leads, or nothing.
std::optional<uint32_t> target_of(const LayoutTables &tables, PointerSlot slot);

// "pVSCtoVK_E0[3]" at its RVA, or without an RVA if the list has none.
Place entry_place(const LayoutTables &tables, PointerSlot pointer, const std::string &list,
                  size_t index, uint32_t record);

// Where each dead character comes from, for the findings about it.
using DeadSources = std::map<char16_t, Place>;

// The WCH_LGTR cells of the key rows, by the key and column the platform
// looks the ligature up with.
using LigatureCells = std::set<std::pair<uint8_t, uint16_t>>;

// verify_rows.cpp: every table's rows; returns the dead characters the
// dead cells give and collects the WCH_LGTR cells.  Which row the platform
// reads for a key, which continuation rows belong to it and which entry it
// takes of a list searched from the start, the keymap answers.
DeadSources check_rows(const Keymap &keymap, Findings &findings, LigatureCells &ligature_cells);

// verify_ligatures.cpp
void check_ligatures(const Keymap &keymap, const LigatureCells &cells, Findings &findings);

// verify_dead_keys.cpp
void check_dead_characters(const LayoutTables &t, const DeadSources &dead, Findings &findings);
void check_composition_pairs(const Keymap &keymap, Findings &findings);

// verify_lists.cpp
void check_lists_in_order(const LayoutTables &t, Findings &findings);
void check_name_alignment(const LayoutTables &t, Findings &findings);
void check_overlaps(const LayoutTables &t, Findings &findings);

// verify_unmodelled.cpp
void note_row_attributes(const LayoutTables &t, Findings &findings);
void note_modifier_bits(const LayoutTables &t, Findings &findings);
void note_locale_flags(const LayoutTables &t, Findings &findings);

}  // namespace wendol::table_rules
