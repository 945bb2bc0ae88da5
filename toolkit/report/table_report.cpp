// table_report.cpp - the layout's tables as read through the far pointers.
#include <algorithm>
#include <map>
#include <set>

#include "base/error.h"
#include "base/text.h"
#include "pe/pe_names.h"
#include "report/layout_report.h"
#include "tables/cell_label.h"
#include "tables/vk_names.h"

namespace wendol {

namespace {

std::string scan_flags(uint16_t value)
{
    constexpr Flag kFlags[] = {
        {kKbdExt, "KBDEXT"}, {kKbdMultiVk, "KBDMULTIVK"},
        {kKbdSpecial, "KBDSPECIAL"}, {kKbdNumpad, "KBDNUMPAD"}};
    const std::string key = vk_label(static_cast<uint8_t>(value));
    const uint16_t flags = value & 0xFF00;
    return flags ? key + " | " + flag_names(flags, kFlags, 4) : key;
}

std::string attribute_names(uint8_t attributes)
{
    constexpr Flag kAttributes[] = {
        {kCapLok, "CAPLOK"}, {kSgCaps, "SGCAPS"}, {kCapLokAltGr, "CAPLOKALTGR"},
        {kKanaLok, "KANALOK"}, {kGrpSelTap, "GRPSELTAP"}};
    return attributes ? flag_names(attributes, kAttributes, 2, "|") : "-";
}

// What a modifier key is called in a column title.
std::string modifier_word(uint8_t vk)
{
    switch (vk) {
    case 0x10: return "Shift";
    case 0x11: return "Ctrl";
    case 0x12: return "Alt";
    case kVkAltGr: return "AltGr";
    default: return vk_label(vk);
    }
}

// "plain", "Shift", "AltGr+Shift": the keys whose bits make up `bits`,
// highest bit first, so AltGr leads as a typist says it.
std::string bits_title(const Modifiers &modifiers, unsigned bits)
{
    if (bits == 0)
        return "plain";
    std::string out;
    for (unsigned bit = 0x80; bit; bit >>= 1) {
        if (!(bits & bit))
            continue;
        auto key = std::find_if(modifiers.keys.begin(), modifiers.keys.end(),
                                [&](const VkToBit &k) { return k.bits == bit; });
        if (!out.empty())
            out += '+';
        out += key != modifiers.keys.end() ? modifier_word(key->vk) : hex(bit, 2);
    }
    return out;
}

// Each column's title: the fewest modifier bits that select it.
std::vector<std::string> column_titles(const Modifiers &modifiers, unsigned columns)
{
    std::vector<std::string> titles;
    for (unsigned c = 0; c < columns; ++c) {
        std::string title = "column " + std::to_string(c);
        for (unsigned bits = 0; bits < modifiers.mod_number.size(); ++bits)
            if (modifiers.mod_number[bits] == c) {
                title = bits_title(modifiers, bits);
                break;
            }
        titles.push_back(title);
    }
    return titles;
}

void print_descriptor(std::ostream &out, const MappedImage &image, const DescriptorCall &call,
                      const LayoutTables &tables)
{
    out << "\nKbdLayerDescriptor\n";
    std::string body;
    for (const uint8_t b : image.bytes(call.body_rva, call.body_size, "KbdLayerDescriptor body")) {
        if (!body.empty())
            body += ' ';
        body += hex(b, 2).substr(2);
    }
    out << "  body at " << hex(call.body_rva, 8) << ", " << call.body_size << " bytes: " << body
        << '\n';
    out << "  returns " << hex(call.value, 16) << ": KBDTABLES at " << hex(tables.root_rva, 8)
        << '\n';
    out << "  pointer form: " << to_string(tables.form) << '\n';
}

void print_root(std::ostream &out, const LayoutTables &t)
{
    out << "\nKBDTABLES at " << hex(t.root_rva, 8) << '\n';
    out << "  bMaxVSCtoVK           " << t.scan_map.size() << '\n';
    out << "  fLocaleFlags          " << hex(t.locale_flags, 8) << " (version "
        << (t.locale_flags >> 16) << ", flags " << hex(t.locale_flags & 0xFFFF, 4) << ")\n";
    out << "  nLgMax, cbLgEntry     " << unsigned{t.lg_max} << ", " << unsigned{t.cb_lg_entry}
        << '\n';
    out << "  pLigature             " << (t.ligature ? hex(t.ligature, 8) : "null") << '\n';
    out << "  dwType, dwSubType     " << t.type << ", " << t.subtype << '\n';
}

// Every far pointer and whether the loader relocates it; then the
// relocations that patch no pointer field.
void print_pointers(std::ostream &out, const MappedImage &image, const DescriptorCall &call,
                    const LayoutTables &t)
{
    std::set<uint32_t> relocated;
    for (const BaseRelocation &r : image.file().relocations())
        relocated.insert(r.rva);
    const size_t nulls = std::count_if(t.pointers.begin(), t.pointers.end(),
                                       [](const PointerField &p) { return p.value == 0; });
    out << "\nFar pointers (" << t.pointers.size() << ", " << nulls << " null)\n";
    out << "  field       relocated  value               target      name\n";
    std::set<uint32_t> explained;
    for (const PointerField &p : t.pointers) {
        const bool has = relocated.count(p.field_rva) != 0;
        explained.insert(p.field_rva);
        out << "  " << pad(hex(p.field_rva, 8), 12) << pad(has ? "yes" : "no", 11)
            << pad(p.value ? hex(p.value, 16) : "null", 20)
            << pad(p.value ? hex(p.target_rva, 8) : "-", 12) << p.label() << '\n';
    }
    out << "\nRelocations on no pointer field\n";
    for (const BaseRelocation &r : image.file().relocations()) {
        if (explained.count(r.rva))
            continue;
        const bool in_body =
            std::any_of(call.constants.begin(), call.constants.end(),
                        [&](const AddressConstant &c) { return c.rva == r.rva; });
        out << "  " << column_text(hex(r.rva, 8), 12) << column_text(relocation_type_name(r.type), 10)
            << (in_body ? "the address constant in KbdLayerDescriptor" : "(unexplained)") << '\n';
    }
}

void print_scan_maps(std::ostream &out, const LayoutTables &t)
{
    out << "\nScan codes (" << t.scan_map.size() << ")\n";
    for (size_t scan = 0; scan < t.scan_map.size(); ++scan)
        out << "  " << hex(scan, 2) << "  " << hex(t.scan_map[scan], 4) << "  "
            << scan_flags(t.scan_map[scan]) << '\n';
    const std::pair<const char *, const std::vector<ScanCodeEntry> *> prefixed[] = {
        {"E0", &t.scan_map_e0}, {"E1", &t.scan_map_e1}};
    for (const auto &[prefix, entries] : prefixed) {
        out << "\nScan codes after " << prefix << " (" << entries->size() << ")\n";
        for (const ScanCodeEntry &e : *entries)
            out << "  " << prefix << " " << hex(e.scan, 2) << "  " << hex(e.vk, 4) << "  "
                << scan_flags(e.vk) << '\n';
    }
}

void print_modifiers(std::ostream &out, const Modifiers &m)
{
    out << "\nModifier keys (" << m.keys.size() << ")\n";
    for (const VkToBit &k : m.keys)
        out << "  " << column_text(vk_label(k.vk) + " " + hex(k.vk, 2), 20) << "bit "
            << hex(k.bits, 2)
            << '\n';
    out << "\nModNumber (wMaxModBits " << m.max_mod_bits << ")\n";
    for (unsigned bits = 0; bits < m.mod_number.size(); ++bits) {
        const uint8_t column = m.mod_number[bits];
        out << "  bits " << column_text(std::to_string(bits), 4)
            << column_text(bits_title(m, bits), 22)
            << (column == kShiftInvalid ? std::string("invalid (0x0F)")
                                        : "column " + std::to_string(column))
            << '\n';
    }
}

constexpr size_t kCellWidth = 24;

void print_char_table(std::ostream &out, const Modifiers &m, const CharTable &table, size_t number)
{
    out << "\nCharacter table " << number << " at " << hex(table.rva, 8) << ": "
        << unsigned{table.columns} << (table.columns == 1 ? " column" : " columns") << ", rows of " << unsigned{table.row_size}
        << " bytes, " << table.rows.size() << " rows\n";
    std::string header = "  " + column_text("virtual key", 24) + column_text("attributes", 12);
    for (const std::string &title : column_titles(m, table.columns))
        header += column_text(title, kCellWidth);
    header.erase(header.find_last_not_of(' ') + 1);
    out << header << '\n';
    for (const CharRow &row : table.rows) {
        const std::string key = row.vk == kContinuationVk
                                    ? "  0xFF"
                                    : vk_label(row.vk) + " " + hex(row.vk, 2);
        std::string line = "  " + column_text(key, 24) + column_text(attribute_names(row.attributes), 12);
        for (const uint16_t cell : row.cells)
            line += column_text(cell_label(cell), kCellWidth);
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

// Only a layout with a ligature list gets the section.
void print_ligatures(std::ostream &out, const LayoutTables &t)
{
    if (t.ligature == 0)
        return;
    out << "\nLigatures (" << t.ligatures.size() << ", nLgMax " << unsigned{t.lg_max}
        << ", cbLgEntry " << unsigned{t.cb_lg_entry} << ")\n";
    for (const LigatureEntry &e : t.ligatures) {
        const std::u16string text = e.text();
        std::string chars;
        for (char16_t c : text)
            chars += (chars.empty() ? "" : ", ") + character_label(c);
        out << "  " << column_text(vk_label(e.vk) + " " + hex(e.vk, 2), 24)
            << column_text("column " + std::to_string(e.column), 11) << text.size()
            << (text.size() == 1 ? " character" : " characters") << (chars.empty() ? "" : ": ")
            << chars << '\n';
    }
}

void print_dead_keys(std::ostream &out, const std::vector<DeadKeyEntry> &entries)
{
    out << "\nDead-key compositions (" << entries.size() << ")\n";
    std::map<uint16_t, size_t> group_sizes;
    for (const DeadKeyEntry &e : entries)
        ++group_sizes[e.dead];
    for (size_t i = 0; i < entries.size(); ++i) {
        const DeadKeyEntry &e = entries[i];
        if (i == 0 || entries[i - 1].dead != e.dead)
            out << "  dead " << character_label(e.dead) << " (" << group_sizes[e.dead]
                << " entries)\n";
        out << "    + " << column_text(character_label(e.base), 28) << "-> "
            << character_label(e.composed);
        if (e.flags)
            out << "  flags " << hex(e.flags, 4) << ((e.flags & 1) ? " DKF_DEAD" : "");
        out << '\n';
    }
}

void print_key_names(std::ostream &out, const LayoutTables &t)
{
    out << "\nKey names (" << t.key_names.size() << ")\n";
    for (const KeyName &n : t.key_names)
        out << "  " << hex(n.scan, 2) << "  " << quoted(n.name) << '\n';
    out << "\nKey names after E0 (" << t.key_names_ext.size() << ")\n";
    for (const KeyName &n : t.key_names_ext)
        out << "  E0 " << hex(n.scan, 2) << "  " << quoted(n.name) << '\n';
    out << "\nDead-key names (" << t.dead_key_names.size() << ")\n";
    for (const std::u16string &name : t.dead_key_names)
        out << "  " << column_text(name.empty() ? "(empty)" : character_label(name[0]), 20)
            << quoted(name) << '\n';
}

}  // namespace

void print_layout(std::ostream &out, const MappedImage &image, const DescriptorCall &call,
                  const LayoutTables &tables)
{
    print_descriptor(out, image, call, tables);
    print_root(out, tables);
    print_pointers(out, image, call, tables);
    print_scan_maps(out, tables);
    print_modifiers(out, tables.modifiers);
    out << "\nCharacter tables (" << tables.char_tables.size() << ")\n";
    for (size_t i = 0; i < tables.char_tables.size(); ++i)
        print_char_table(out, tables.modifiers, tables.char_tables[i], i + 1);
    print_ligatures(out, tables);
    print_dead_keys(out, tables.dead_keys);
    print_key_names(out, tables);
}

}  // namespace wendol
