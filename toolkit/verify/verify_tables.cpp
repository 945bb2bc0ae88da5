// verify_tables.cpp - the tables' own rules: what the platform assumes of
// them when it reads a key, a dead key, a name or a modifier column.  Each
// job has its file (table_rules.h); here are the modifier numbers,
// what the jobs share, and the order they run in.
#include <algorithm>

#include "base/error.h"
#include "tables/table_extents.h"
#include "table_rules.h"

namespace wendol {

namespace table_rules {

std::optional<uint32_t> target_of(const LayoutTables &tables, PointerSlot slot)
{
    const PointerField *field = find_pointer(tables, {slot});
    if (!field || field->value == 0)
        return std::nullopt;
    return field->target_rva;
}

Place entry_place(const LayoutTables &tables, PointerSlot pointer, const std::string &list,
                  size_t index, uint32_t record)
{
    Place place = named(list + "[" + std::to_string(index) + "]");
    if (auto start = target_of(tables, pointer))
        place.rva = static_cast<uint32_t>(*start + uint64_t{record} * index);
    return place;
}

}  // namespace table_rules

namespace {

void check_mod_numbers(const LayoutTables &t, Findings &findings)
{
    unsigned widest = 0;
    for (const CharTable &table : t.char_tables)
        widest = std::max<unsigned>(widest, table.columns);
    const auto record = table_rules::target_of(t, PointerSlot::CharModifiers);
    const ModifiersLayout at(t.form);
    for (size_t bits = 0; bits < t.modifiers.mod_number.size(); ++bits) {
        const uint8_t column = t.modifiers.mod_number[bits];
        if (column == kShiftInvalid || column < widest)
            continue;
        Place place = named("MODIFIERS.ModNumber[" + std::to_string(bits) + "]");
        if (record)
            place.rva = *record + at.mod_number(static_cast<unsigned>(bits));
        // The platform types nothing in that state, as with SHFT_INVALID; a
        // column this leaves unselected is its own finding (verify_cells.cpp).
        findings.warning(Check::Modifiers, place,
                         "a column below the widest table's " + std::to_string(widest) +
                             " or SHFT_INVALID (0x0F)",
                         "column " + std::to_string(column) + ", which no table has",
                         "only a warning, as the platform types nothing in that state");
    }
}

}  // namespace

void verify_tables(const Keymap &keymap, Findings &findings)
{
    using namespace table_rules;
    const LayoutTables &tables = keymap.tables();
    check_mod_numbers(tables, findings);
    LigatureCells ligature_cells;
    const DeadSources dead = check_rows(keymap, findings, ligature_cells);
    check_ligatures(keymap, ligature_cells, findings);
    check_dead_characters(tables, dead, findings);
    check_composition_pairs(keymap, findings);
    check_lists_in_order(tables, findings);
    check_name_alignment(tables, findings);
    check_overlaps(tables, findings);
    note_row_attributes(tables, findings);
    note_modifier_bits(tables, findings);
    note_locale_flags(tables, findings);
}

}  // namespace wendol
