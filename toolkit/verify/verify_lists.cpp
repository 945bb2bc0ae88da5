// verify_lists.cpp - the lists and the bytes they take: scan codes listed
// again, key names off their alignment, tables that run into one another,
// and an older root record.
#include <algorithm>
#include <map>
#include <vector>

#include "base/error.h"
#include "tables/table_extents.h"
#include "table_rules.h"

namespace wendol::table_rules {

namespace {

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
        findings.warning(Check::Order, entry_place(t, pointer, list, i, record),
                         "each scan code once (the platform reads the first)",
                         "scan code " + hex(scans[i], 2) + " again, first at " + list + "[" +
                             std::to_string(at->second) + "]",
                         "only a warning, as the platform reads the first");
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

}  // namespace

void check_lists_in_order(const LayoutTables &t, Findings &findings)
{
    const uint32_t names = 2 * pointer_size(t.form);   // a padded scan code, a pointer
    check_order(t, scans_of(t.scan_map_e0), PointerSlot::VscToVkE0, "pVSCtoVK_E0", kVscVkSize,
                findings);
    check_order(t, scans_of(t.scan_map_e1), PointerSlot::VscToVkE1, "pVSCtoVK_E1", kVscVkSize,
                findings);
    check_order(t, scans_of(t.key_names), PointerSlot::KeyNames, "aKeyNames", names, findings);
    check_order(t, scans_of(t.key_names_ext), PointerSlot::KeyNamesExt, "aKeyNamesExt", names,
                findings);
}

namespace {

bool is_name(PointerSlot slot)
{
    return slot == PointerSlot::KeyName || slot == PointerSlot::KeyNameExt ||
           slot == PointerSlot::DeadKeyName;
}

}  // namespace

// A name is a string of UTF-16 units, which a compiler aligns to 2 bytes;
// one at an odd address is a narrow string cast to a wide one, which the
// platform still reads, a byte off its alignment.
void check_name_alignment(const LayoutTables &t, Findings &findings)
{
    for (const PointerField &p : t.pointers)
        if (is_name(p.id.slot) && p.value != 0 && p.target_rva % 2 != 0)
            findings.warning(Check::KeyNames, rva_place(p.field_rva, p.label()),
                             "a name aligned to 2 bytes, as UTF-16 units are",
                             "one at the odd RVA " + hex(p.target_rva),
                             "only a warning, as the platform reads it where it is");
}

namespace {

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
        findings.warning(Check::RootRecord, rva_place(*type, "KBDTABLES.dwType"),
                         "dwType and dwSubType after pLigature",
                         "the end of the record's section: an older header, whose record "
                         "ends after pLigature, so there is no dwType, dwSubType (read as 0, "
                         "0)",
                         "only a warning, as the platform then takes the layout type from "
                         "elsewhere");
        return;
    }
    for (const Extent &e : extents) {
        if (e.rva < *type || e.rva >= t.root_rva + KbdTablesLayout(t.form).size())
            continue;
        findings.warning(Check::RootRecord, rva_place(*type, "KBDTABLES.dwType"),
                         "dwType and dwSubType after pLigature",
                         e.what + " beginning at RVA " + hex(e.rva) +
                             ": an older header, whose record ends after pLigature, so the "
                             "eight bytes read as dwType, dwSubType (" + hex(t.type) + ", " +
                             hex(t.subtype) + ") are that table's",
                         "only a warning, as the platform then takes the layout type from "
                         "elsewhere");
        return;
    }
}

}  // namespace

// The table another runs into: where it begins, and where it ends.
Place overlap_place(const Extent &table)
{
    Place place = rva_place(table.rva, table.what);
    place.what = "to RVA " + hex(table.end());
    return place;
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
            findings.error(Check::Overlaps,
                           overlap_place(*open),
                           open->kind == Extent::Kind::List
                               ? "its end record before the next table"
                               : "no other table inside it",
                           e.what + " at RVA " + hex(e.rva));
        if (!open || e.end() > open->end())
            open = &e;
    }
}

}  // namespace wendol::table_rules
