// table_extents.cpp - the tables' bytes, from the far pointers the reader
// recorded and the counts it read behind them.
#include "tables/table_extents.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

namespace wendol {

namespace {

// "aKeyNames[12].pwsz" with list "aKeyNames" gives 12.
std::optional<size_t> list_index(std::string_view what, std::string_view list)
{
    if (what.size() <= list.size() + 2 || what.substr(0, list.size()) != list ||
        what[list.size()] != '[')
        return std::nullopt;
    const char *first = what.data() + list.size() + 1;
    const char *last = what.data() + what.size();
    size_t index = 0;
    const auto [end, error] = std::from_chars(first, last, index);
    if (error != std::errc() || end == last || *end != ']')
        return std::nullopt;
    return index;
}

uint32_t count_bytes(size_t count, uint32_t size)
{
    return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{count} * size, UINT32_MAX));
}

class ExtentList {
public:
    explicit ExtentList(const LayoutTables &tables)
        : t_(tables), p_(pointer_size(tables.form))
    {
    }

    std::vector<Extent> take() { return std::move(out_); }

    void root()
    {
        // The record ends with dwType and dwSubType after pLigature.
        if (const PointerField *last = find_pointer(t_, "KBDTABLES.pLigature"))
            add(t_.root_rva, last->field_rva + p_ + 8 - t_.root_rva, "KBDTABLES",
                Extent::Kind::Record);
    }

    // The table a non-null pointer leads to.
    void target(const PointerField &field)
    {
        const std::string &w = field.what;
        const uint32_t at = field.target_rva;
        if (w == "KBDTABLES.pCharModifiers")
            add(at, p_ + 2 + count_bytes(t_.modifiers.mod_number.size(), 1), "MODIFIERS",
                Extent::Kind::Record);
        else if (w == "MODIFIERS.pVkToBit")
            list(at, t_.modifiers.keys.size(), 2, "VK_TO_BIT list");
        else if (w == "KBDTABLES.pVkToWcharTable")
            list(at, t_.char_tables.size(), 2 * p_, "aVkToWcharTable");
        else if (w == "KBDTABLES.pDeadKey")
            list(at, t_.dead_keys.size(), 8, "DEADKEY list");
        else if (w == "KBDTABLES.pKeyNames")
            list(at, t_.key_names.size(), 2 * p_, "aKeyNames");
        else if (w == "KBDTABLES.pKeyNamesExt")
            list(at, t_.key_names_ext.size(), 2 * p_, "aKeyNamesExt");
        else if (w == "KBDTABLES.pKeyNamesDead")
            list(at, t_.dead_key_names.size(), p_, "aKeyNamesDead");
        else if (w == "KBDTABLES.pusVSCtoVK")
            add(at, count_bytes(t_.scan_map.size(), 2), "pusVSCtoVK", Extent::Kind::Record);
        else if (w == "KBDTABLES.pVSCtoVK_E0")
            list(at, t_.scan_map_e0.size(), 4, "pVSCtoVK_E0");
        else if (w == "KBDTABLES.pVSCtoVK_E1")
            list(at, t_.scan_map_e1.size(), 4, "pVSCtoVK_E1");
        else
            element(field);
    }

private:
    void element(const PointerField &field)
    {
        const std::string &w = field.what;
        if (auto i = list_index(w, "aVkToWcharTable"); i && *i < t_.char_tables.size()) {
            const CharTable &table = t_.char_tables[*i];
            list(field.target_rva, table.rows.size(), table.row_size,
                 "aVkToWcharTable[" + std::to_string(*i) + "] rows");
        } else if (auto k = list_index(w, "aKeyNames"); k && *k < t_.key_names.size()) {
            string(field.target_rva, t_.key_names[*k].name, "aKeyNames", *k);
        } else if (auto e = list_index(w, "aKeyNamesExt"); e && *e < t_.key_names_ext.size()) {
            string(field.target_rva, t_.key_names_ext[*e].name, "aKeyNamesExt", *e);
        } else if (auto d = list_index(w, "aKeyNamesDead"); d && *d < t_.dead_key_names.size()) {
            string(field.target_rva, t_.dead_key_names[*d], "aKeyNamesDead", *d);
        }
    }

    // `count` records and the end record after them.
    void list(uint32_t rva, size_t count, uint32_t record, const std::string &what)
    {
        add(rva, count_bytes(count + 1, record), what, Extent::Kind::List);
    }

    void string(uint32_t rva, const std::u16string &text, const std::string &list, size_t index)
    {
        add(rva, count_bytes(text.size() + 1, 2), list + "[" + std::to_string(index) + "] name",
            Extent::Kind::String);
    }

    void add(uint32_t rva, uint32_t size, std::string what, Extent::Kind kind)
    {
        out_.push_back({rva, size, std::move(what), kind});
    }

    const LayoutTables &t_;
    const uint32_t p_;
    std::vector<Extent> out_;
};

}  // namespace

std::vector<Extent> table_extents(const LayoutTables &tables)
{
    ExtentList extents(tables);
    extents.root();
    for (const PointerField &field : tables.pointers)
        if (field.value != 0)
            extents.target(field);
    return extents.take();
}

const PointerField *find_pointer(const LayoutTables &tables, std::string_view what)
{
    for (const PointerField &field : tables.pointers)
        if (field.what == what)
            return &field;
    return nullptr;
}

uint64_t covered_bytes(std::vector<Extent> extents)
{
    std::sort(extents.begin(), extents.end(),
              [](const Extent &a, const Extent &b) { return a.rva < b.rva; });
    uint64_t covered = 0, reached = 0;
    for (const Extent &e : extents) {
        const uint64_t start = std::max<uint64_t>(e.rva, reached);
        if (e.end() > start)
            covered += e.end() - start;
        reached = std::max(reached, e.end());
    }
    return covered;
}

}  // namespace wendol
