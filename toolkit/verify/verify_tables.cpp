// verify_tables.cpp - the tables' own rules: what the platform assumes of
// them when it reads a key, a dead key, a name or a modifier column.
#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "base/error.h"
#include "base/text.h"
#include "tables/cell_label.h"
#include "tables/char_rows.h"
#include "tables/table_extents.h"
#include "tables/vk_names.h"
#include "verify/verify.h"

namespace wendol {

namespace {

std::optional<uint32_t> target_of(const LayoutTables &tables, PointerSlot slot)
{
    const PointerField *field = find_pointer(tables, {slot});
    if (!field || field->value == 0)
        return std::nullopt;
    return field->target_rva;
}

// "pVSCtoVK_E0[3] (RVA 0x2B94)", or without an RVA if the list has none.
std::string entry_place(const LayoutTables &tables, PointerSlot pointer, const std::string &list,
                        size_t index, uint32_t record)
{
    std::string place = list + "[" + std::to_string(index) + "]";
    if (auto start = target_of(tables, pointer))
        place += " (RVA " + hex(*start + uint64_t{record} * index) + ")";
    return place;
}

bool is_character(uint16_t cell)
{
    return cell != kWchNone && cell != kWchDead && cell != kWchLigature;
}

void check_mod_numbers(const LayoutTables &t, Findings &findings)
{
    unsigned widest = 0;
    for (const CharTable &table : t.char_tables)
        widest = std::max<unsigned>(widest, table.columns);
    const auto record = target_of(t, PointerSlot::CharModifiers);
    const ModifiersLayout at(t.form);
    for (size_t bits = 0; bits < t.modifiers.mod_number.size(); ++bits) {
        const uint8_t column = t.modifiers.mod_number[bits];
        if (column == kShiftInvalid || column < widest)
            continue;
        std::string place = "MODIFIERS.ModNumber[" + std::to_string(bits) + "]";
        if (record)
            place = rva_place(*record + at.mod_number(static_cast<unsigned>(bits)), place);
        // The platform types nothing in that state, as with SHFT_INVALID; a
        // column this leaves unselected is its own finding (verify_cells.cpp).
        findings.warning("modifiers", place,
                         "a column below the widest table's " + std::to_string(widest) +
                             " or SHFT_INVALID (0x0F)",
                         "column " + std::to_string(column) +
                             ", which no table has; only a warning, as the platform types "
                             "nothing in that state");
    }
}

// Where each dead character comes from, for the findings about it.
using DeadSources = std::map<char16_t, std::string>;

// The WCH_LGTR cells of the key rows, by the key and column the platform
// looks the ligature up with.
using LigatureCells = std::set<std::pair<uint8_t, uint16_t>>;

// One character table, row by row: every key row with the continuation
// rows its attributes and dead cells call for (char_rows.h).
class RowCheck {
public:
    RowCheck(const LayoutTables &tables, size_t table, Findings &findings, DeadSources &dead,
             LigatureCells &ligature_cells)
        : t_(tables), table_(table), rows_(tables.char_tables[table].rows),
          parts_(row_parts(tables.char_tables[table])), findings_(findings), dead_(dead),
          ligature_cells_(ligature_cells)
    {
    }

    void run(std::array<std::optional<RowRef>, 256> &first_row)
    {
        for (size_t r = 0; r < rows_.size(); ++r) {
            if (parts_[r].role == RowRole::Stray) {
                findings_.warning("rows", place(r), "a continuation row under the row it continues",
                                  "one that belongs to no key row; only a warning, as the "
                                  "platform never reads it");
            } else if (parts_[r].role == RowRole::KeyRow) {
                shadowed(r, first_row);
                key(r);
            }
        }
    }

private:
    // The platform takes the first row for a key in list order.
    void shadowed(size_t r, std::array<std::optional<RowRef>, 256> &first_row)
    {
        auto &first = first_row[rows_[r].vk];
        if (!first) {
            first = RowRef{table_, r};
            return;
        }
        findings_.warning("rows", place(r), "one row per virtual key",
                          "a second row, never read: the key's row is " + row_place(t_, *first) +
                              "; only a warning, as the platform types that one alone");
    }

    // The key row at `r` and its continuation rows.
    void key(size_t r)
    {
        const RowPart &part = parts_[r];
        ligatures(r, rows_[r].vk);
        if (part.caps)
            ligatures(*part.caps, rows_[r].vk);
        else if (rows_[r].attributes & kSgCaps)
            findings_.error("rows", place(r), "a Caps Lock row (0xFF) under an SGCAPS row",
                            row_below(t_.char_tables[table_], r));
        // The Caps Lock row doubles as the key row's dead-character row.
        if (has_dead_cell(rows_[r]))
            dead_cells(r, part.dead, part.dead != part.caps);
        if (part.caps && has_dead_cell(rows_[*part.caps]))
            dead_cells(*part.caps, parts_[*part.caps].dead, true);
    }

    void dead_cells(size_t r, std::optional<size_t> below, bool dedicated)
    {
        const CharRow &row = rows_[r];
        for (size_t c = 0; c < row.cells.size(); ++c) {
            if (row.cells[c] != kWchDead)
                continue;
            const std::string at = place(r, c);
            if (!below) {
                findings_.error("dead keys", at, "a dead-character row (0xFF) under the row",
                                "none");
                continue;
            }
            const uint16_t dead = rows_[*below].cells[c];
            if (!is_character(dead))
                findings_.error("dead keys", at,
                                "a dead character in the same column of " + place(*below),
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
                findings_.warning("dead keys", place(*below, c),
                                  "WCH_NONE where the row above has no dead cell",
                                  cell_label(rows_[*below].cells[c]) +
                                      "; only a warning, as it is never typed (a reverse "
                                      "lookup may still report it on this key)");
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
            const bool listed = std::any_of(
                t_.ligatures.begin(), t_.ligatures.end(),
                [&](const LigatureEntry &e) { return e.vk == vk && e.column == c; });
            if (!listed)
                findings_.error("ligatures", place(r, c),
                                "an entry for " + vk_label(vk) + " column " + std::to_string(c) +
                                    " in the ligature list",
                                std::string(t_.ligature ? "none" : "no ligature list") +
                                    ": the key types nothing");
        }
    }

    std::string place(size_t r, std::optional<size_t> column = std::nullopt) const
    {
        return row_place(t_, RowRef{table_, r}, column);
    }

    const LayoutTables &t_;
    size_t table_;
    const std::vector<CharRow> &rows_;
    const std::vector<RowPart> parts_;
    Findings &findings_;
    DeadSources &dead_;
    LigatureCells &ligature_cells_;
};

DeadSources check_rows(const LayoutTables &t, Findings &findings, LigatureCells &ligature_cells)
{
    DeadSources dead;
    std::array<std::optional<RowRef>, 256> first_row{};
    for (size_t table = 0; table < t.char_tables.size(); ++table)
        RowCheck(t, table, findings, dead, ligature_cells).run(first_row);
    return dead;
}

std::string ligature_place(const LayoutTables &t, size_t index)
{
    const LigatureEntry &e = t.ligatures[index];
    return rva_place(e.rva, "ligature list[" + std::to_string(index) + "], " + vk_label(e.vk) +
                                " column " + std::to_string(e.column));
}

// The entry's characters: at least one, and none after the first WCH_NONE
// (the platform stops there).
void check_ligature_text(const LayoutTables &t, size_t index, Findings &findings)
{
    const LigatureEntry &e = t.ligatures[index];
    if (e.text().empty()) {
        findings.warning("ligatures", ligature_place(t, index), "at least one character",
                         "none: the key types nothing");
        return;
    }
    const auto end = std::find(e.chars.begin(), e.chars.end(), kWchNone);
    const auto after = std::find_if(end, e.chars.end(), [](uint16_t u) { return u != kWchNone; });
    if (after != e.chars.end())
        findings.warning("ligatures", ligature_place(t, index),
                         "only WCH_NONE after the first WCH_NONE (the platform stops there)",
                         cell_label(*after) + " in wch[" +
                             std::to_string(after - e.chars.begin()) + "]");
}

// The list as the platform walks it: entries of cbLgEntry bytes holding
// nLgMax characters, each for a WCH_LGTR cell, each key and column once.
// Their order is no finding: the list is searched from the start.
void check_ligatures(const LayoutTables &t, const LigatureCells &cells, Findings &findings)
{
    if (t.ligature == 0)
        return;
    const unsigned wanted = 4 + 2u * t.lg_max;
    if (t.cb_lg_entry != wanted)
        findings.error("ligatures", rva_place(t.root_rva, "KBDTABLES.cbLgEntry"),
                       std::to_string(wanted) + " bytes, 4 + 2 per character of nLgMax " +
                           std::to_string(t.lg_max),
                       std::to_string(t.cb_lg_entry));
    std::map<std::pair<uint8_t, uint16_t>, size_t> first;
    for (size_t i = 0; i < t.ligatures.size(); ++i) {
        const LigatureEntry &e = t.ligatures[i];
        const auto [at, fresh] = first.emplace(std::pair{e.vk, e.column}, i);
        if (!fresh)
            findings.error("ligatures", ligature_place(t, i),
                           "each key and column once (the platform reads the first)",
                           "a second entry, never read: the first is ligature list[" +
                               std::to_string(at->second) + "]");
        else if (!cells.count({e.vk, e.column}))
            findings.warning("ligatures", ligature_place(t, i), "a WCH_LGTR cell it serves",
                             "none: no key reaches the entry");
        check_ligature_text(t, i, findings);
    }
}

// Dead characters that compositions marked DKF_DEAD leave pending, with the
// entry that first does.
std::map<char16_t, size_t> chained_dead(const LayoutTables &t)
{
    std::map<char16_t, size_t> chained;
    for (size_t i = 0; i < t.dead_keys.size(); ++i)
        if (t.dead_keys[i].flags & kDkfDead)
            chained.emplace(static_cast<char16_t>(t.dead_keys[i].composed), i);
    return chained;
}

// Every dead character composes and has a name; every composition group
// and every dead-key name belongs to a dead key.
void check_dead_characters(const LayoutTables &t, const DeadSources &dead, Findings &findings)
{
    const std::map<char16_t, size_t> chained = chained_dead(t);
    std::map<char16_t, size_t> groups;   // dead character -> its first entry
    for (size_t i = 0; i < t.dead_keys.size(); ++i)
        groups.emplace(static_cast<char16_t>(t.dead_keys[i].dead), i);
    std::map<char16_t, size_t> names;
    for (size_t i = 0; i < t.dead_key_names.size(); ++i)
        if (!t.dead_key_names[i].empty())
            names.emplace(t.dead_key_names[i][0], i);

    for (const auto &[ch, place] : dead) {
        if (!groups.count(ch))
            findings.error("dead keys", place,
                           "compositions for its dead character " + character_label(ch),
                           "none in the composition table");
        if (!names.count(ch))
            findings.warning("dead keys", place,
                             "a dead-key name for its dead character " + character_label(ch),
                             "none in aKeyNamesDead; only a warning, as the name is shown, "
                             "never typed");
    }
    // A DKF_DEAD result with no compositions of its own only ever comes out
    // as itself, followed by whatever is typed next.
    for (const auto &[ch, entry] : chained)
        if (!groups.count(ch))
            findings.warning("dead keys", entry_place(t, PointerSlot::DeadKey, "DEADKEY", entry, 8),
                             "compositions for the dead character " + character_label(ch) +
                                 " its DKF_DEAD result leaves pending",
                             "none: it only comes out as itself before the next character");
    for (const auto &[ch, first] : groups)
        if (!dead.count(ch) && !chained.count(ch))
            findings.warning("dead keys", entry_place(t, PointerSlot::DeadKey, "DEADKEY", first, 8),
                             "compositions only for dead characters some key produces",
                             "a group for " + character_label(ch) +
                                 ", which no dead cell gives; only a warning, as nothing "
                                 "reaches it");
    for (const auto &[ch, index] : names)
        if (!dead.count(ch) && !chained.count(ch))
            findings.warning("dead keys",
                             entry_place(t, PointerSlot::KeyNamesDead, "aKeyNamesDead", index,
                                         pointer_size(t.form)),
                             "names only for dead characters some key produces",
                             "a name for " + character_label(ch) +
                                 ", which no dead cell gives; only a warning, as nothing "
                                 "reaches it");
}

// The platform uses the first entry for a pair: a second is never read.
void check_composition_pairs(const LayoutTables &t, Findings &findings)
{
    std::map<std::pair<uint16_t, uint16_t>, size_t> first;
    for (size_t i = 0; i < t.dead_keys.size(); ++i) {
        const DeadKeyEntry &e = t.dead_keys[i];
        const auto [at, fresh] = first.emplace(std::pair{e.dead, e.base}, i);
        if (!fresh)
            findings.warning("compositions",
                             entry_place(t, PointerSlot::DeadKey, "DEADKEY", i, 8),
                             "each pair (dead character, base) once",
                             character_label(e.dead) + " + " + character_label(e.base) +
                                 " again, first at DEADKEY[" + std::to_string(at->second) +
                                 "], which the platform reads: this entry is never typed");
    }
}

// Lists searched by scan code.  The platform searches them from the start,
// so their order changes nothing; a scan code listed again is never read.
void check_order(const LayoutTables &t, const std::vector<uint8_t> &scans, PointerSlot pointer,
                 const std::string &list, uint32_t record, Findings &findings)
{
    std::map<uint8_t, size_t> first;
    for (size_t i = 0; i < scans.size(); ++i) {
        const auto [at, fresh] = first.emplace(scans[i], i);
        if (fresh)
            continue;
        findings.warning("order", entry_place(t, pointer, list, i, record),
                         "each scan code once (the platform reads the first)",
                         "scan code " + hex(scans[i], 2) + " again, first at " + list + "[" +
                             std::to_string(at->second) + "]");
    }
}

template <typename Entry>
std::vector<uint8_t> scans_of(const std::vector<Entry> &entries)
{
    std::vector<uint8_t> scans;
    for (const Entry &e : entries)
        scans.push_back(e.scan);
    return scans;
}

void check_lists_in_order(const LayoutTables &t, Findings &findings)
{
    const uint32_t names = 2 * pointer_size(t.form);   // a padded scan code, a pointer
    check_order(t, scans_of(t.scan_map_e0), PointerSlot::VscToVkE0, "pVSCtoVK_E0", 4, findings);
    check_order(t, scans_of(t.scan_map_e1), PointerSlot::VscToVkE1, "pVSCtoVK_E1", 4, findings);
    check_order(t, scans_of(t.key_names), PointerSlot::KeyNames, "aKeyNames", names, findings);
    check_order(t, scans_of(t.key_names_ext), PointerSlot::KeyNamesExt, "aKeyNamesExt", names,
                findings);
}

bool is_name(PointerSlot slot)
{
    return slot == PointerSlot::KeyName || slot == PointerSlot::KeyNameExt ||
           slot == PointerSlot::DeadKeyName;
}

// A name is a string of UTF-16 units, which a compiler aligns to 2 bytes;
// one at an odd address is a narrow string cast to a wide one, which the
// platform still reads, a byte off its alignment.
void check_name_alignment(const LayoutTables &t, Findings &findings)
{
    for (const PointerField &p : t.pointers)
        if (is_name(p.id.slot) && p.value != 0 && p.target_rva % 2 != 0)
            findings.warning("key names", rva_place(p.field_rva, p.label()),
                             "a name aligned to 2 bytes, as UTF-16 units are",
                             "one at the odd RVA " + hex(p.target_rva) +
                                 "; only a warning, as the platform reads it where it is");
}

// Tables share no bytes, except strings (a linker may share a name's
// tail) and a table reached by two pointers.  A list whose end record was
// lost runs into whatever follows it.
bool may_share(const Extent &a, const Extent &b)
{
    return (a.kind == Extent::Kind::String && b.kind == Extent::Kind::String) ||
           (a.rva == b.rva && a.size == b.size && a.kind == b.kind);
}

// An older header's root record ends after pLigature: the eight bytes read
// as dwType and dwSubType are then whatever follows it.
std::optional<uint32_t> root_type_rva(const LayoutTables &t)
{
    if (!find_pointer(t, {PointerSlot::Ligature}))
        return std::nullopt;
    return t.root_rva + KbdTablesLayout(t.form).type();
}

bool in_type_fields(const LayoutTables &t, const Extent &root, const Extent &e)
{
    const auto type = root_type_rva(t);
    return root.rva == t.root_rva && root.kind == Extent::Kind::Record && type &&
           e.rva >= *type && e.rva < root.end();
}

void check_root_end(const LayoutTables &t, const std::vector<Extent> &extents,
                    Findings &findings)
{
    const auto type = root_type_rva(t);
    if (!type)
        return;
    if (!t.has_type_fields) {
        findings.warning("root record", rva_place(*type, "KBDTABLES.dwType"),
                         "dwType and dwSubType after pLigature",
                         "the end of the record's section: an older header, whose record "
                         "ends after pLigature, so there is no dwType, dwSubType (read as 0, "
                         "0); only a warning, as the platform then takes the layout type from "
                         "elsewhere");
        return;
    }
    for (const Extent &e : extents) {
        if (e.rva < *type || e.rva >= t.root_rva + KbdTablesLayout(t.form).size())
            continue;
        findings.warning("root record", rva_place(*type, "KBDTABLES.dwType"),
                         "dwType and dwSubType after pLigature",
                         e.what + " beginning at RVA " + hex(e.rva) +
                             ": an older header, whose record ends after pLigature, so the "
                             "eight bytes read as dwType, dwSubType (" + hex(t.type) + ", " +
                             hex(t.subtype) + ") are that table's; only a warning, as the "
                             "platform then takes the layout type from elsewhere");
        return;
    }
}

void check_overlaps(const LayoutTables &t, Findings &findings)
{
    std::vector<Extent> extents = table_extents(t);
    check_root_end(t, extents, findings);
    std::sort(extents.begin(), extents.end(), [](const Extent &a, const Extent &b) {
        return a.rva != b.rva ? a.rva < b.rva : a.size > b.size;
    });
    const Extent *open = nullptr;   // the extent reaching furthest so far
    for (const Extent &e : extents) {
        if (open && e.rva < open->end() && !may_share(*open, e) && !in_type_fields(t, *open, e))
            findings.error("overlaps",
                           rva_place(open->rva, open->what + ", to RVA " + hex(open->end())),
                           open->kind == Extent::Kind::List
                               ? "its end record before the next table"
                               : "no other table inside it",
                           e.what + " at RVA " + hex(e.rva));
        if (!open || e.end() > open->end())
            open = &e;
    }
}

// A bit the engine does not model, told once with where it is first set.
struct Unmodelled {
    uint32_t bit;
    const char *name;   // the platform's name, or null for a bit it defines none for
};

std::string bit_text(uint32_t bit, const char *name, unsigned digits)
{
    return (name ? std::string(name) + " (" + hex(bit, digits) + ")"
                 : "the undefined bit " + hex(bit, digits));
}

// Row attributes beyond CAPLOK, SGCAPS, CAPLOKALTGR and KANALOK.
void note_row_attributes(const LayoutTables &t, Findings &findings)
{
    for (unsigned bit = 1; bit <= 0x80; bit <<= 1) {
        if (bit & kModelledAttributes)
            continue;
        std::optional<RowRef> first;
        size_t rows = 0;
        for (size_t i = 0; i < t.char_tables.size(); ++i)
            for (size_t r = 0; r < t.char_tables[i].rows.size(); ++r)
                if (t.char_tables[i].rows[r].attributes & bit) {
                    first = first ? first : RowRef{i, r};
                    ++rows;
                }
        if (!first)
            continue;
        findings.note("attributes", row_place(t, *first),
                      "row attribute " + bit_text(bit, bit == kGrpSelTap ? "GRPSELTAP" : nullptr, 2) +
                          " on " + std::to_string(rows) + (rows == 1 ? " row" : " rows") +
                          ": the engine types as if it were clear");
    }
}

// Modifier bits beyond Shift, Ctrl, Alt and Kana: the engine selects columns
// with them as with any bit, but not the platform's own handling of them.
void note_modifier_bits(const LayoutTables &t, Findings &findings)
{
    constexpr Unmodelled kBits[] = {{kKbdRoya, "KBDROYA"}, {kKbdLoya, "KBDLOYA"}, {0x40, nullptr},
                                    {kKbdGrpSelTap, "KBDGRPSELTAP"}};
    for (const Unmodelled &b : kBits) {
        const auto key = std::find_if(t.modifiers.keys.begin(), t.modifiers.keys.end(),
                                      [&](const VkToBit &k) { return k.bits & b.bit; });
        if (key == t.modifiers.keys.end())
            continue;
        findings.note("modifiers", "VK_TO_BIT " + vk_label(key->vk),
                      "modifier bit " + bit_text(b.bit, b.name, 2) +
                          ": the engine selects columns with it while the key is held, and "
                          "models nothing more the platform does with it");
    }
}

// Locale flags beyond KLLF_ALTGR, KLLF_SHIFTLOCK and KLLF_LRM_RLM; the high
// word is the tables' version.
void note_locale_flags(const LayoutTables &t, Findings &findings)
{
    for (uint32_t bit = 0x0001; bit <= 0x8000; bit <<= 1) {
        if (!(t.locale_flags & bit) || (bit & kModelledLocaleFlags))
            continue;
        findings.note("locale flags", rva_place(t.root_rva, "KBDTABLES.fLocaleFlags"),
                      "locale flag " + bit_text(bit, nullptr, 4) + ": the engine does not model it");
    }
}

}  // namespace

void verify_tables(const LayoutTables &tables, Findings &findings)
{
    check_mod_numbers(tables, findings);
    LigatureCells ligature_cells;
    const DeadSources dead = check_rows(tables, findings, ligature_cells);
    check_ligatures(tables, ligature_cells, findings);
    check_dead_characters(tables, dead, findings);
    check_composition_pairs(tables, findings);
    check_lists_in_order(tables, findings);
    check_name_alignment(tables, findings);
    check_overlaps(tables, findings);
    note_row_attributes(tables, findings);
    note_modifier_bits(tables, findings);
    note_locale_flags(tables, findings);
}

}  // namespace wendol
