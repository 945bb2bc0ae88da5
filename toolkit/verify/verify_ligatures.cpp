// verify_ligatures.cpp - the ligature list as the platform walks it: an
// entry for each WCH_LGTR cell, each key and column once, its characters
// before the first WCH_NONE.
#include <algorithm>
#include <map>

#include "tables/cell_label.h"
#include "tables/vk_names.h"
#include "table_rules.h"

namespace wendol::table_rules {

namespace {

Place ligature_place(const LayoutTables &t, size_t index)
{
    const LigatureEntry &e = t.ligatures[index];
    Place place = rva_place(e.rva, "ligature list[" + std::to_string(index) + "]");
    place.what = vk_label(e.vk) + " column " + std::to_string(e.column);
    return place;
}

// The entry's characters: at least one, and none after the first WCH_NONE
// (the platform stops there).
void check_ligature_text(const LayoutTables &t, size_t index, Findings &findings)
{
    const LigatureEntry &e = t.ligatures[index];
    if (e.text().empty()) {
        findings.warning(Check::Ligatures, ligature_place(t, index), "at least one character",
                         "none", "only a warning: the key types nothing");
        return;
    }
    const auto end = std::find(e.chars.begin(), e.chars.end(), kWchNone);
    const auto after = std::find_if(end, e.chars.end(), [](uint16_t u) { return u != kWchNone; });
    if (after != e.chars.end())
        findings.warning(Check::Ligatures, ligature_place(t, index),
                         "only WCH_NONE after the first WCH_NONE (the platform stops there)",
                         cell_label(*after) + " in wch[" +
                             std::to_string(after - e.chars.begin()) + "]",
                         "only a warning, as the platform never reads it");
}

}  // namespace

// The list as the platform walks it: entries of cbLgEntry bytes holding
// nLgMax characters, each for a WCH_LGTR cell, each key and column once.
// Their order is no finding: the list is searched from the start.
void check_ligatures(const Keymap &keymap, const LigatureCells &cells, Findings &findings)
{
    const LayoutTables &t = keymap.tables();
    if (t.ligature == 0)
        return;
    const unsigned wanted = 4 + 2u * t.lg_max;
    if (t.cb_lg_entry != wanted)
        findings.error(Check::Ligatures,
                       rva_place(t.root_rva + KbdTablesLayout(t.form).cb_lg_entry(),
                                 "KBDTABLES.cbLgEntry"),
                       std::to_string(wanted) + " bytes, 4 + 2 per character of nLgMax " +
                           std::to_string(t.lg_max),
                       std::to_string(t.cb_lg_entry));
    for (size_t i = 0; i < t.ligatures.size(); ++i) {
        const LigatureEntry &e = t.ligatures[i];
        // No modifier bits select a column past 255: such an entry serves
        // no cell, and is no second entry of one.
        const LigatureEntry *first =
            e.column <= 0xFF ? keymap.ligature(e.vk, static_cast<uint8_t>(e.column)) : &e;
        if (first != &e)
            findings.error(Check::Ligatures, ligature_place(t, i),
                           "each key and column once (the platform reads the first)",
                           "a second entry, never read: the first is ligature list[" +
                               std::to_string(first - t.ligatures.data()) + "]");
        else if (!cells.count({e.vk, e.column}))
            findings.warning(Check::Ligatures, ligature_place(t, i), "a WCH_LGTR cell it serves",
                             "none", "only a warning, as no key reaches the entry");
        check_ligature_text(t, i, findings);
    }
}

}  // namespace wendol::table_rules
