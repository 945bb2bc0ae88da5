// table_extents.cpp - the tables' bytes, from the far pointers the reader
// recorded and the counts it read behind them.
#include "tables/table_extents.h"

#include <algorithm>
#include <utility>

namespace wendol {

namespace {

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
        // The record ends with dwType and dwSubType after pLigature, unless
        // it is an older one that ends with its section.
        const KbdTablesLayout layout(t_.form);
        if (find_pointer(t_, {PointerSlot::Ligature}))
            add(t_.root_rva, t_.has_type_fields ? layout.size() : layout.older_size(),
                "KBDTABLES", Extent::Kind::Record);
    }

    // The table a non-null pointer leads to.
    void target(const PointerField &field)
    {
        const uint32_t at = field.target_rva;
        const uint32_t i = field.id.entry;
        switch (field.id.slot) {
        case PointerSlot::CharModifiers:
            add(at, modifiers_size(), "MODIFIERS", Extent::Kind::Record);
            break;
        case PointerSlot::VkToBit:
            list(at, t_.modifiers.keys.size(), kVkToBitSize, "VK_TO_BIT list");
            break;
        case PointerSlot::VkToWcharTable:
            list(at, t_.char_tables.size(), 2 * p_, "aVkToWcharTable");
            break;
        case PointerSlot::DeadKey:
            list(at, t_.dead_keys.size(), kDeadKeySize, "DEADKEY list");
            break;
        case PointerSlot::KeyNames:
            list(at, t_.key_names.size(), 2 * p_, "aKeyNames");
            break;
        case PointerSlot::KeyNamesExt:
            list(at, t_.key_names_ext.size(), 2 * p_, "aKeyNamesExt");
            break;
        case PointerSlot::KeyNamesDead:
            list(at, t_.dead_key_names.size(), p_, "aKeyNamesDead");
            break;
        case PointerSlot::VscToVk:
            add(at, count_bytes(t_.scan_map.size(), 2), "pusVSCtoVK", Extent::Kind::Record);
            break;
        case PointerSlot::VscToVkE0:
            list(at, t_.scan_map_e0.size(), kVscVkSize, "pVSCtoVK_E0");
            break;
        case PointerSlot::VscToVkE1:
            list(at, t_.scan_map_e1.size(), kVscVkSize, "pVSCtoVK_E1");
            break;
        case PointerSlot::Ligature:
            list(at, t_.ligatures.size(), std::max<uint32_t>(t_.cb_lg_entry, 1), "ligature list");
            break;
        case PointerSlot::CharTableRows:
            if (i < t_.char_tables.size()) {
                const CharTable &table = t_.char_tables[i];
                list(at, table.rows.size(), table.row_size,
                     "aVkToWcharTable[" + std::to_string(i) + "] rows");
            }
            break;
        case PointerSlot::KeyName:
            if (i < t_.key_names.size())
                string(at, t_.key_names[i].name, field.id);
            break;
        case PointerSlot::KeyNameExt:
            if (i < t_.key_names_ext.size())
                string(at, t_.key_names_ext[i].name, field.id);
            break;
        case PointerSlot::DeadKeyName:
            if (i < t_.dead_key_names.size())
                string(at, t_.dead_key_names[i], field.id);
            break;
        }
    }

private:
    // pVkToBit, wMaxModBits and a ModNumber for each combination of bits.
    uint32_t modifiers_size() const
    {
        // At most wMaxModBits + 1 of them: the sum fits.
        const auto numbers = static_cast<unsigned>(t_.modifiers.mod_number.size());
        return ModifiersLayout(t_.form).mod_number(numbers);
    }

    // `count` records and the end record after them.
    void list(uint32_t rva, size_t count, uint32_t record, const std::string &what)
    {
        add(rva, count_bytes(count + 1, record), what, Extent::Kind::List);
    }

    void string(uint32_t rva, const std::u16string &text, PointerId id)
    {
        std::string what = record_name(id.slot);
        what.append("[").append(std::to_string(id.entry)).append("] name");
        add(rva, count_bytes(text.size() + 1, 2), std::move(what), Extent::Kind::String);
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

const PointerField *find_pointer(const LayoutTables &tables, PointerId id)
{
    for (const PointerField &field : tables.pointers)
        if (field.id == id)
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
