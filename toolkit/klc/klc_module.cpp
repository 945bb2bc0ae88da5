// klc_module.cpp - the C tables of a module built from a .klc source, one
// file per table as layout/ has them, over layout/kbd.h and layout/vkeys.h.
#include "klc/klc_module.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "base/error.h"
#include "base/text.h"
#include "engine/keymap.h"
#include "klc/klc_defaults.h"
#include "klc_c_text.h"
#include "klc_resources.h"
#include "tables/kbd_format.h"

namespace wendol {

namespace {

using namespace klc_text;

constexpr size_t kBaseScanCodes = 128;
constexpr size_t kMaxColumns = 16;   // every combination of the four bits once

std::string key_place(const KlcKey &key)
{
    if (key.line > 0)
        return "line " + std::to_string(key.line);
    return "the LAYOUT line of " + vk_text(key.vk);
}

// ----------------------------------------------------------------------------
// What the source must say for the tables to be written.

void check_name(const std::string &name)
{
    const bool usable = !name.empty() && name.size() <= 64 &&
                        std::all_of(name.begin(), name.end(), [](char c) {
                            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                   (c >= '0' && c <= '9') || c == '_' || c == '-';
                        });
    if (!usable)
        fail("KBD", "a module name of 1 to 64 letters, digits, '_' and '-' (a file name)",
             "\"" + name + "\"");
}

void check_shift_states(const std::vector<uint8_t> &states)
{
    if (states.empty())
        fail("SHIFTSTATE", "at least the plain state 0", "no states");
    if (states.size() > kMaxColumns)
        fail("SHIFTSTATE", "at most 16 states", std::to_string(states.size()));
    for (size_t i = 0; i < states.size(); ++i) {
        if (states[i] > kKlcStateBits)
            fail("SHIFTSTATE", "modifier bits 0 to 15", std::to_string(states[i]));
        if (std::find(states.begin(), states.begin() + i, states[i]) != states.begin() + i)
            fail("SHIFTSTATE", "each state once", "state " + std::to_string(states[i]) + " twice");
    }
}

void check_key(const KlcKey &key, size_t columns)
{
    if (key.vk == 0 || key.vk == kContinuationVk)
        fail(key_place(key), "a virtual key 0x01 to 0xFE", hex(key.vk, 2));
    if (key.prefix != 0 && key.prefix != 0xE0 && key.prefix != 0xE1)
        fail(key_place(key), "a scan code without prefix, or after E0 or E1", hex(key.prefix, 2));
    if (key.prefix == 0 && key.scan >= kBaseScanCodes)
        fail(key_place(key), "a scan code below 0x80", hex(key.scan, 2));
    if (key.cells.size() > columns || key.caps_cells.size() > columns)
        fail(key_place(key), "at most one cell per SHIFTSTATE (" + std::to_string(columns) + ")",
             std::to_string(std::max(key.cells.size(), key.caps_cells.size())) + " cells");
}

// ----------------------------------------------------------------------------
// Scan codes.

struct ScanMaps {
    std::array<uint16_t, kBaseScanCodes> base{};
    std::vector<ScanCodeEntry> e0, e1;
    std::array<int, kBaseScanCodes> base_line{};   // the LAYOUT line that set it, 0 for the default
    std::map<uint8_t, int> e0_line, e1_line;
};

// A LAYOUT line's key in a prefixed list: the default entry replaced, or a
// new one in scan-code order.
void set_prefixed(std::vector<ScanCodeEntry> &list, uint8_t scan, uint16_t entry)
{
    const auto at = std::lower_bound(list.begin(), list.end(), scan,
                                     [](const ScanCodeEntry &e, uint8_t s) { return e.scan < s; });
    if (at != list.end() && at->scan == scan)
        at->vk = entry;
    else
        list.insert(at, ScanCodeEntry{scan, entry});
}

ScanMaps scan_maps(const KlcSource &source)
{
    ScanMaps maps;
    const auto base = klc_base_scan_map();
    std::copy(base.begin(), base.end(), maps.base.begin());
    maps.e0.assign(klc_e0_scan_map().begin(), klc_e0_scan_map().end());
    maps.e1.assign(klc_e1_scan_map().begin(), klc_e1_scan_map().end());
    for (const KlcKey &key : source.keys) {
        if (key.prefix == 0xE0) {
            // Every key after E0 is an extended key.
            set_prefixed(maps.e0, key.scan, static_cast<uint16_t>(key.vk | kKbdExt));
            maps.e0_line[key.scan] = key.line;
        } else if (key.prefix == 0xE1) {
            set_prefixed(maps.e1, key.scan, key.vk);
            maps.e1_line[key.scan] = key.line;
        } else {
            // A keypad key whose line names the digit Num Lock makes of it
            // keeps its navigation key and flags: the platform turns one
            // into the other.
            const uint16_t entry = maps.base[key.scan];
            if (keypad_digit(entry) != key.vk)
                maps.base[key.scan] = key.vk;
            maps.base_line[key.scan] = key.line;
        }
    }
    return maps;
}

std::string line_comment(int line)
{
    return line > 0 ? "/* LAYOUT line " + std::to_string(line) + " */" : "/* LAYOUT */";
}

std::vector<std::string> prefixed_rows(const std::vector<ScanCodeEntry> &list,
                                       const std::map<uint8_t, int> &lines)
{
    std::vector<std::vector<std::string>> rows;
    for (const ScanCodeEntry &e : list) {
        const auto line = lines.find(e.scan);
        rows.push_back({"{ " + hex(e.scan, 2) + ",", scan_entry_text(e.vk), "},",
                        line == lines.end() ? "" : line_comment(line->second)});
    }
    rows.push_back({"{ 0,", "0", "}"});
    return aligned(rows);
}

std::string scan_codes_c(const KlcSource &source)
{
    const ScanMaps maps = scan_maps(source);
    std::string out =
        "/*\n"
        " * scan_codes.c - scan codes (PC/AT set 1) to virtual keys: the platform's\n"
        " * US map, each LAYOUT line's scan code sending the line's virtual key.\n"
        " *\n"
        " * ausVK is indexed by the plain scan code; 0xFF sends no key.  The E0 and\n"
        " * E1 lists hold the codes sent after those prefixes, in scan-code order,\n"
        " * each ending with an all-zero record.  The high byte of each value holds\n"
        " * the KBDEXT / KBDMULTIVK / KBDSPECIAL / KBDNUMPAD flags; a keypad key\n"
        " * keeps its navigation key, which Num Lock turns into the digit.\n"
        " */\n"
        "#include \"layout.h\"\n\n"
        "const USHORT ausVK[KLC_BASE_SCAN_CODES] = {\n";
    std::vector<std::vector<std::string>> rows;
    for (size_t scan = 0; scan < kBaseScanCodes; ++scan)
        rows.push_back({"/* " + hex(scan, 2) + " */", scan_entry_text(maps.base[scan]) + ",",
                        maps.base_line[scan] ? line_comment(maps.base_line[scan]) : ""});
    for (const std::string &row : aligned(rows))
        out += "    " + row + "\n";
    out += "};\n\n/* After the E0 prefix: every key here is an extended key. */\n"
           "const VSC_VK aE0VscToVk[] = {\n";
    for (const std::string &row : prefixed_rows(maps.e0, maps.e0_line))
        out += "    " + row + "\n";
    out += "};\n\n/* After the E1 prefix: Pause (E1 1D 45). */\nconst VSC_VK aE1VscToVk[] = {\n";
    for (const std::string &row : prefixed_rows(maps.e1, maps.e1_line))
        out += "    " + row + "\n";
    return out + "};\n";
}

// ----------------------------------------------------------------------------
// Modifiers.

bool uses_kana(const KlcSource &source)
{
    return std::any_of(source.shift_states.begin(), source.shift_states.end(),
                       [](uint8_t s) { return s & kKlcKana; });
}

unsigned max_mod_bits(const KlcSource &source)
{
    return *std::max_element(source.shift_states.begin(), source.shift_states.end());
}

// "plain", "Shift", "Ctrl+Alt", "AltGr+Shift".
std::string state_name(uint8_t state, bool altgr)
{
    if (state == 0)
        return "plain";
    std::string out;
    const bool is_altgr = altgr && (state & (kKlcCtrl | kKlcAlt)) == (kKlcCtrl | kKlcAlt);
    if (is_altgr)
        out = "AltGr";
    if (state & kKlcShift)
        append_item(out, "Shift", "+");
    if ((state & kKlcCtrl) && !is_altgr)
        append_item(out, "Ctrl", "+");
    if ((state & kKlcAlt) && !is_altgr)
        append_item(out, "Alt", "+");
    if (state & kKlcKana)
        append_item(out, "Kana", "+");
    return out;
}

std::string modifiers_c(const KlcSource &source)
{
    const unsigned max_bits = max_mod_bits(source);
    std::string out =
        "/*\n"
        " * modifiers.c - which keys are modifiers and which column each combination\n"
        " * of their bits selects.  The generic VK_SHIFT, VK_CONTROL and VK_MENU stand\n"
        " * for both their left and right keys.\n"
        " */\n"
        "#include \"layout.h\"\n\n"
        "static const VK_TO_BIT aVkToBits[] = {\n";
    std::vector<std::vector<std::string>> keys;
    for (const KlcModifierKey &m : klc_modifier_keys()) {
        if (m.bits == kKlcKana && !uses_kana(source))
            continue;
        constexpr const char *kBitNames[] = {"", "KBDSHIFT", "KBDCTRL", "", "KBDALT",
                                             "", "", "", "KBDKANA"};
        keys.push_back({"{ " + vk_text(m.vk) + ",", std::string(kBitNames[m.bits]), "},"});
    }
    keys.push_back({"{ 0,", "0", "}"});
    for (const std::string &row : aligned(keys))
        out += "    " + row + "\n";
    out += "};\n\n"
           "/* Columns: the SHIFTSTATE lines in order; SHFT_INVALID selects none. */\n"
           "const MODIFIERS_KLC CharModifiers = {\n"
           "    KBD_PTR(aVkToBits),\n"
           "    " + std::to_string(max_bits) + ",   /* wMaxModBits */\n"
           "    {\n";
    std::vector<std::vector<std::string>> numbers;
    for (unsigned bits = 0; bits <= max_bits; ++bits) {
        const auto at = std::find(source.shift_states.begin(), source.shift_states.end(), bits);
        const bool used = at != source.shift_states.end();
        numbers.push_back({(used ? std::to_string(at - source.shift_states.begin())
                                 : std::string("SHFT_INVALID")) + ",",
                           "/* " + pad(std::to_string(bits), 2) + " " +
                               state_name(static_cast<uint8_t>(bits), source.altgr) + " */"});
    }
    for (const std::string &row : aligned(numbers))
        out += "        " + row + "\n";
    return out + "    }\n};\n";
}

// ----------------------------------------------------------------------------
// Character tables.

struct Row {
    uint8_t vk = 0;
    uint8_t attributes = 0;
    std::vector<uint16_t> cells;   // as many as the source has columns
    std::string comment;
};

uint16_t cell_value(const KlcCell &cell)
{
    switch (cell.kind) {
    case KlcCell::Kind::None: return kWchNone;
    case KlcCell::Kind::Character: return cell.ch;
    case KlcCell::Kind::Dead: return kWchDead;
    case KlcCell::Kind::Ligature: return kWchLigature;
    }
    return kWchNone;
}

std::vector<uint16_t> cell_values(const std::vector<KlcCell> &cells, size_t columns)
{
    std::vector<uint16_t> out(columns, kWchNone);
    for (size_t i = 0; i < cells.size(); ++i)
        out[i] = cell_value(cells[i]);
    return out;
}

// The row that holds, in the same columns, the dead characters of a row's
// dead cells; WCH_NONE elsewhere.  Nothing when the row has no dead cell.
std::optional<std::vector<uint16_t>> dead_characters(const std::vector<KlcCell> &cells,
                                                     size_t columns)
{
    std::vector<uint16_t> out(columns, kWchNone);
    bool any = false;
    for (size_t i = 0; i < cells.size(); ++i)
        if (cells[i].kind == KlcCell::Kind::Dead) {
            out[i] = cells[i].ch;
            any = true;
        }
    if (!any)
        return std::nullopt;
    return out;
}

std::string cells_comment(const KlcSource &source, const KlcKey &key,
                          const std::vector<KlcCell> &cells)
{
    std::string out;
    for (size_t i = 0; i < cells.size(); ++i) {
        const KlcCell &c = cells[i];
        if (c.kind == KlcCell::Kind::Character) {
            append_item(out, shown(c.ch));
        } else if (c.kind == KlcCell::Kind::Dead) {
            append_item(out, "dead " + shown(c.ch));
        } else if (c.kind == KlcCell::Kind::Ligature) {
            for (const KlcLigature &l : source.ligatures)
                if (l.vk == key.vk && l.column == i) {
                    append_item(out, utf8(std::u16string_view(l.chars)));
                    break;
                }
        }
    }
    return out;
}

// A key's rows as the platform reads them: the key row, then its
// continuation rows.  The dead character of a WCH_DEAD cell is in the same
// column of the row right below; the Caps Lock row of an SGCAPS key is the
// row right below.  So an SGCAPS key's Caps Lock row also holds the dead
// characters of the key row, and a third row those of the Caps Lock row.
std::vector<Row> key_rows(const KlcSource &source, const KlcKey &key)
{
    const size_t columns = source.shift_states.size();
    const std::string place = key_place(key);
    std::vector<Row> rows;
    rows.push_back({key.vk, static_cast<uint8_t>(key.caps | (key.sgcap ? kSgCaps : 0)),
                    cell_values(key.cells, columns),
                    place + ": " + cells_comment(source, key, key.cells)});
    const auto key_dead = dead_characters(key.cells, columns);
    if (!key.sgcap) {
        if (key_dead)
            rows.push_back({kContinuationVk, 0, *key_dead, "dead characters"});
        return rows;
    }
    Row caps{kContinuationVk, 0, cell_values(key.caps_cells, columns),
             "Caps Lock: " + cells_comment(source, key, key.caps_cells)};
    if (key_dead) {
        for (size_t i = 0; i < columns; ++i) {
            const uint16_t dead = (*key_dead)[i];
            if (dead == kWchNone || caps.cells[i] == dead)
                continue;
            if (caps.cells[i] != kWchNone)
                fail(place, "the Caps Lock row free in column " + std::to_string(i) +
                                " for the dead character " + character_label(dead) +
                                " of the key's dead cell (the platform reads it from the row below)",
                     "the Caps Lock cell " + cell_text(caps.cells[i]));
            caps.cells[i] = dead;
        }
        caps.comment += ", and the key row's dead characters";
    }
    rows.push_back(caps);
    if (const auto caps_dead = dead_characters(key.caps_cells, columns))
        rows.push_back({kContinuationVk, 0, *caps_dead, "the Caps Lock row's dead characters"});
    return rows;
}

bool has_line_for(const KlcSource &source, uint8_t vk)
{
    return std::any_of(source.keys.begin(), source.keys.end(),
                       [vk](const KlcKey &k) { return k.vk == vk; });
}

// The row of a control or keypad key no LAYOUT line gives: its characters
// in the columns of the plain, Shift and Ctrl states, where the source has
// them.
Row implied_row(const KlcSource &source, const KlcImpliedRow &implied)
{
    Row row{implied.vk, 0, std::vector<uint16_t>(source.shift_states.size(), kWchNone),
            "no LAYOUT line:"};
    const std::pair<uint8_t, char16_t> by_state[] = {
        {0, implied.plain}, {kKlcShift, implied.shift}, {kKlcCtrl, implied.ctrl}};
    for (const auto &[state, ch] : by_state) {
        const auto at = std::find(source.shift_states.begin(), source.shift_states.end(), state);
        if (ch == 0 || at == source.shift_states.end())
            continue;
        row.cells[at - source.shift_states.begin()] = ch;
        append_item(row.comment, shown(ch));
    }
    return row;
}

// Columns a key's table needs: up to its last cell that is not WCH_NONE,
// across its rows.
size_t columns_needed(const std::vector<Row> &rows)
{
    size_t n = 1;
    for (const Row &row : rows)
        for (size_t i = row.cells.size(); i > n; --i)
            if (row.cells[i - 1] != kWchNone) {
                n = i;
                break;
            }
    return n;
}

std::string table_name(size_t n) { return "aVkToWch" + std::to_string(n); }

std::map<size_t, std::vector<Row>> char_tables(const KlcSource &source)
{
    std::map<size_t, std::vector<Row>> tables;
    for (const KlcKey &key : source.keys) {
        std::vector<Row> rows = key_rows(source, key);
        auto &table = tables[columns_needed(rows)];
        table.insert(table.end(), rows.begin(), rows.end());
    }
    for (const KlcImpliedRow &implied : klc_implied_rows()) {
        if (has_line_for(source, implied.vk))
            continue;
        const Row row = implied_row(source, implied);
        tables[columns_needed({row})].push_back(row);
    }
    return tables;
}

std::string attributes_text(uint8_t attributes)
{
    std::string out;
    if (attributes & kCapLok)
        append_item(out, "CAPLOK", " | ");
    if (attributes & kSgCaps)
        append_item(out, "SGCAPS", " | ");
    if (attributes & kCapLokAltGr)
        append_item(out, "CAPLOKALTGR", " | ");
    return out.empty() ? "0" : out;
}

std::string table_text(const KlcSource &source, size_t n, const std::vector<Row> &rows)
{
    std::vector<std::vector<std::string>> fields;
    std::vector<std::string> header = {"key", "attr"};
    for (size_t i = 0; i < n; ++i)
        header.push_back(state_name(source.shift_states[i], source.altgr));
    std::vector<std::vector<std::string>> cells_rows;
    for (const Row &row : rows) {
        std::vector<std::string> f = {"{ " + (row.vk == kContinuationVk ? std::string("CONT")
                                                                       : vk_text(row.vk)) + ",",
                                      attributes_text(row.attributes) + ","};
        for (size_t i = 0; i < n; ++i)
            f.push_back((i == 0 ? "{ " : "") + cell_text(row.cells[i]) + (i + 1 < n ? "," : ""));
        f.push_back("} },");
        f.push_back(comment(row.comment));
        fields.push_back(f);
    }
    std::vector<std::string> end = {"{ 0,", "0,"};
    for (size_t i = 0; i < n; ++i)
        end.push_back((i == 0 ? "{ " : "") + std::string("0") + (i + 1 < n ? "," : ""));
    end.push_back("} }");
    fields.push_back(end);

    // The column names sit above the fields, two characters further in
    // for the braces.
    std::vector<std::vector<std::string>> with_header = fields;
    std::vector<std::string> names = {"  " + header[0], header[1]};
    for (size_t i = 0; i < n; ++i)
        names.push_back((i == 0 ? "  " : "") + header[i + 2]);
    with_header.insert(with_header.begin(), names);
    const std::vector<std::string> lines = aligned(with_header);

    std::string out = "static const VK_TO_WCHARS" + std::to_string(n) + " " + table_name(n) +
                      "[] = {\n";
    out += "    /*" + lines[0].substr(1) + " */\n";
    for (size_t i = 1; i < lines.size(); ++i)
        out += "    " + lines[i] + "\n";
    return out + "};\n";
}

std::string char_tables_c(const KlcSource &source,
                          const std::map<size_t, std::vector<Row>> &tables)
{
    std::string out =
        "/*\n"
        " * char_tables.c - what each key types in each column, the columns being\n"
        " * the SHIFTSTATE lines (modifiers.c).\n"
        " *\n"
        " * A table of n columns holds the keys whose last cell is in column n.  A\n"
        " * cell is a UTF-16 code unit, WCH_NONE (no character), WCH_DEAD (a dead\n"
        " * key: the row below holds its dead character in the same column) or\n"
        " * WCH_LGTR (the ligature list says what it types).  An SGCAPS row is\n"
        " * followed by the key's Caps Lock row, virtual key 0xFF (CONT), which then\n"
        " * supplies its columns, and is also the row below for the key row's dead\n"
        " * cells.  Each table ends with an all-zero row.\n"
        " */\n"
        "#include \"layout.h\"\n\n"
        "#define CONT 0xFF   /* continuation row: never matches a key */\n";
    for (const auto &[n, rows] : tables)
        out += "\n" + table_text(source, n, rows);
    out += "\n/* The character-table list, walked in order; it ends with a null pointer. */\n"
           "const VK_TO_WCHAR_TABLE aVkToWcharTable[] = {\n";
    std::vector<std::vector<std::string>> list;
    for (const auto &[n, rows] : tables)
        list.push_back({"{ KBD_PTR((const VK_TO_WCHARS1 *)" + table_name(n) + "),",
                        std::to_string(n) + ",", "sizeof(VK_TO_WCHARS" + std::to_string(n) + ") },"});
    list.push_back({"{ KBD_NULL,", "0,", "0 }"});
    for (const std::string &row : aligned(list))
        out += "    " + row + "\n";
    return out + "};\n";
}

// ----------------------------------------------------------------------------
// Dead keys, ligatures and key names.

std::string dead_keys_c(const KlcSource &source)
{
    std::string out =
        "/*\n"
        " * dead_keys.c - what a dead key makes of the character typed after it.\n"
        " * The platform searches the records from the start for MAKELONG(the\n"
        " * next character, the dead character); the list ends with a zero record.\n"
        " */\n"
        "#include \"layout.h\"\n\n"
        "/* the next character, the dead character, the result */\n"
        "#define DEADTRANS(next, dead, composed) { MAKELONG(next, dead), composed, 0 }\n\n"
        "const DEADKEY aDeadKey[] = {\n";
    std::vector<std::vector<std::string>> rows;
    for (const KlcDeadKey &d : source.dead_keys)
        for (const auto &[next, composed] : d.compositions)
            rows.push_back({"DEADTRANS(" + character_text(next) + ",", character_text(d.dead) + ",",
                            character_text(composed) + "),"});
    for (const std::string &row : aligned(rows))
        out += "    " + row + "\n";
    return out + "    { 0, 0, 0 }\n};\n";
}

size_t ligature_max(const KlcSource &source)
{
    size_t n = 0;
    for (const KlcLigature &l : source.ligatures)
        n = std::max(n, l.chars.size());
    return n;
}

std::string ligatures_c(const KlcSource &source)
{
    const size_t n = ligature_max(source);
    std::string out =
        "/*\n"
        " * ligatures.c - what the WCH_LGTR cells type: the first entry for the key\n"
        " * and column, searched from the start; unused characters WCH_NONE.  The\n"
        " * list ends with an all-zero entry.\n"
        " */\n"
        "#include \"layout.h\"\n\n"
        "const LIGATURE_KLC aLigature[] = {\n";
    std::vector<std::vector<std::string>> rows;
    for (const KlcLigature &l : source.ligatures) {
        std::vector<std::string> f = {"{ " + vk_text(l.vk) + ",", std::to_string(l.column) + ","};
        for (size_t i = 0; i < n; ++i) {
            const std::string cell = i < l.chars.size() ? character_text(l.chars[i]) : "WCH_NONE";
            f.push_back((i == 0 ? "{ " : "") + cell + (i + 1 < n ? "," : ""));
        }
        f.push_back("} },");
        f.push_back(comment(utf8(std::u16string_view(l.chars))));
        rows.push_back(f);
    }
    std::vector<std::string> end = {"{ 0,", "0,"};
    for (size_t i = 0; i < n; ++i)
        end.push_back((i == 0 ? "{ " : "") + std::string("0") + (i + 1 < n ? "," : ""));
    end.push_back("} }");
    rows.push_back(end);
    for (const std::string &row : aligned(rows))
        out += "    " + row + "\n";
    return out + "};\n";
}

std::vector<KlcKeyName> by_scan(std::vector<KlcKeyName> names)
{
    std::stable_sort(names.begin(), names.end(),
                     [](const KlcKeyName &a, const KlcKeyName &b) { return a.scan < b.scan; });
    return names;
}

std::string name_list(const char *type, const char *name, const std::vector<KlcKeyName> &names)
{
    std::string out = std::string("const ") + type + " " + name + "[] = {\n";
    std::vector<std::vector<std::string>> rows;
    for (const KlcKeyName &k : by_scan(names))
        rows.push_back({"{ " + hex(k.scan, 2) + ",", "KBD_PTR(" + c_string(k.name) + ") },"});
    rows.push_back({"{ 0,", "KBD_NULL }"});
    for (const std::string &row : aligned(rows))
        out += "    " + row + "\n";
    return out + "};\n";
}

std::string key_names_c(const KlcSource &source)
{
    std::string out =
        "/*\n"
        " * key_names.c - the names the platform shows for keys: by scan code, by\n"
        " * scan code after E0, each in ascending order and ending with scan code 0\n"
        " * and a null pointer; and the dead keys, each name beginning with the\n"
        " * dead character it names, the list ending with a null pointer.\n"
        " */\n"
        "#include \"layout.h\"\n";
    if (!source.key_names.empty())
        out += "\n" + name_list("VSC_LPWSTR", "aKeyNames", source.key_names);
    if (!source.key_names_ext.empty())
        out += "\n/* keys sent with the E0 prefix */\n" +
               name_list("VSC_LPWSTR", "aKeyNamesExt", source.key_names_ext);
    if (!source.dead_key_names.empty()) {
        out += "\n/* dead character first, then the name */\n"
               "const DEADKEY_LPWSTR aKeyNamesDead[] = {\n";
        std::vector<std::vector<std::string>> rows;
        for (const KlcDeadKeyName &d : source.dead_key_names)
            rows.push_back({"KBD_PTR(" + c_string(std::u16string(1, d.dead) + d.name) + "),",
                            "/* " + code_point_text(d.dead) + " */"});
        for (const std::string &row : aligned(rows))
            out += "    " + row + "\n";
        out += "    KBD_NULL\n};\n";
    }
    return out;
}

// ----------------------------------------------------------------------------
// The header, the root record and the accessor.

bool has_key_names(const KlcSource &source)
{
    return !source.key_names.empty() || !source.key_names_ext.empty() ||
           !source.dead_key_names.empty();
}

std::string layout_h(const KlcSource &source, const std::map<size_t, std::vector<Row>> &tables)
{
    const unsigned mod_numbers = max_mod_bits(source) + 1;
    std::string out =
        "/*\n"
        " * layout.h - the tables of " + source.name + ".dll, one source file each,\n"
        " * and the root record that ties them together.\n"
        " */\n"
        "#ifndef KLC_LAYOUT_H\n"
        "#define KLC_LAYOUT_H\n\n"
        "#include \"kbd.h\"\n"
        "#include \"vkeys.h\"\n\n"
        "/* scan_codes.c */\n"
        "#define KLC_BASE_SCAN_CODES 128\n"
        "extern const USHORT ausVK[KLC_BASE_SCAN_CODES];\n"
        "extern const VSC_VK aE0VscToVk[];\n"
        "extern const VSC_VK aE1VscToVk[];\n\n"
        "/* modifiers.c: ModNumber for bits 0..wMaxModBits */\n"
        "KBD_DEFINE_MODIFIERS(" + std::to_string(mod_numbers) + ");\n"
        "typedef MODIFIERS" + std::to_string(mod_numbers) + " MODIFIERS_KLC;\n"
        "_Static_assert(KBD_OFFSET(MODIFIERS_KLC, wMaxModBits) == KBD_OFFSET(MODIFIERS, wMaxModBits),\n"
        "               \"MODIFIERS_KLC.wMaxModBits\");\n"
        "_Static_assert(KBD_OFFSET(MODIFIERS_KLC, ModNumber) == KBD_OFFSET(MODIFIERS, ModNumber),\n"
        "               \"MODIFIERS_KLC.ModNumber\");\n"
        "extern const MODIFIERS_KLC CharModifiers;\n\n"
        "/* char_tables.c */\n";
    for (const auto &[n, rows] : tables)
        if (n > 5)   // kbd.h declares one to five columns
            out += "KBD_DEFINE_VK_TO_WCHARS(" + std::to_string(n) + ");\n";
    out += "extern const VK_TO_WCHAR_TABLE aVkToWcharTable[];\n";
    if (!source.dead_keys.empty())
        out += "\n/* dead_keys.c */\nextern const DEADKEY aDeadKey[];\n";
    if (!source.ligatures.empty()) {
        const std::string n = std::to_string(ligature_max(source));
        out += "\n/* ligatures.c: entries of nLgMax characters */\n"
               "KBD_DEFINE_LIGATURE(" + n + ");\n"
               "typedef LIGATURE" + n + " LIGATURE_KLC;\n"
               "_Static_assert(sizeof(LIGATURE_KLC) == 4 + 2 * " + n + ", \"LIGATURE_KLC\");\n"
               "extern const LIGATURE_KLC aLigature[];\n";
    }
    if (has_key_names(source)) {
        out += "\n/* key_names.c */\n";
        if (!source.key_names.empty())
            out += "extern const VSC_LPWSTR aKeyNames[];\n";
        if (!source.key_names_ext.empty())
            out += "extern const VSC_LPWSTR aKeyNamesExt[];\n";
        if (!source.dead_key_names.empty())
            out += "extern const DEADKEY_LPWSTR aKeyNamesDead[];\n";
    }
    return out + "\n/* descriptor.c */\nextern const KBDTABLES KbdTables;\n\n#endif /* KLC_LAYOUT_H */\n";
}

std::string pointer_or_null(bool present, const std::string &what)
{
    return present ? "KBD_PTR(" + what + ")" : "KBD_NULL";
}

std::string locale_flags_text(const KlcSource &source)
{
    std::string flags;
    if (source.altgr)
        append_item(flags, "KLLF_ALTGR", " | ");
    if (source.shift_lock)
        append_item(flags, "KLLF_SHIFTLOCK", " | ");
    if (source.lrm_rlm)
        append_item(flags, "KLLF_LRM_RLM", " | ");
    return "MAKELONG(" + (flags.empty() ? std::string("0") : flags) + ", KBD_VERSION)";
}

std::string descriptor_c(const KlcSource &source)
{
    const bool ligatures = !source.ligatures.empty();
    return
        "/*\n"
        " * descriptor.c - the root record and KbdLayerDescriptor, the module's one\n"
        " * export.  The platform calls it after mapping the image and from then on\n"
        " * only reads the tables it leads to.\n"
        " */\n"
        "#include \"layout.h\"\n\n"
        "const KBDTABLES KbdTables = {\n"
        "    /* modifier keys: MODIFIERS with wMaxModBits + 1 modification numbers */\n"
        "    KBD_PTR((const MODIFIERS *)&CharModifiers),\n\n"
        "    /* characters, searched in list order */\n"
        "    KBD_PTR(aVkToWcharTable),\n\n"
        "    /* dead-key compositions */\n"
        "    " + pointer_or_null(!source.dead_keys.empty(), "aDeadKey") + ",\n\n"
        "    /* key names: by scan code, by scan code after E0, dead keys */\n"
        "    " + pointer_or_null(!source.key_names.empty(), "aKeyNames") + ",\n"
        "    " + pointer_or_null(!source.key_names_ext.empty(), "aKeyNamesExt") + ",\n"
        "    " + pointer_or_null(!source.dead_key_names.empty(), "aKeyNamesDead") + ",\n\n"
        "    /* scan codes to virtual keys */\n"
        "    KBD_PTR(ausVK),\n"
        "    KLC_BASE_SCAN_CODES,\n"
        "    KBD_PTR(aE0VscToVk),\n"
        "    KBD_PTR(aE1VscToVk),\n\n"
        "    /* locale flags */\n"
        "    " + locale_flags_text(source) + ",\n\n" +
        (ligatures ? "    /* ligatures: nLgMax, the entry's size, the list */\n"
                     "    " + std::to_string(ligature_max(source)) +
                         ", sizeof(LIGATURE_KLC), KBD_PTR((const LIGATURE1 *)aLigature),\n\n"
                   : "    /* no ligatures */\n    0, 0, KBD_NULL,\n\n") +
        "    /* type and subtype: a 101/102-key keyboard */\n"
        "    4, 0,\n"
        "};\n\n"
        "#if defined(__i386__)\n"
        "/*\n"
        " * Returns the root record's address widened to 64 bits by sign extension, as\n"
        " * the platform expects of a 32-bit layout (the 64-bit return value is\n"
        " * EDX:EAX).  Written out so that the body holds the address exactly once and\n"
        " * so carries a single base relocation; compiled C materialises it twice.\n"
        " */\n"
        "__attribute__((naked)) unsigned long long __stdcall KbdLayerDescriptor(void)\n"
        "{\n"
        "    __asm__ volatile(\n"
        "        \"movl %0, %%eax\\n\\t\"   /* the root record, relocated by the loader */\n"
        "        \"cdq\\n\\t\"              /* EDX = sign of EAX */\n"
        "        \"ret\"\n"
        "        :\n"
        "        : \"i\"(&KbdTables));\n"
        "}\n"
        "#else\n"
        "/* 64-bit targets address the record relative to the instruction: no fixup. */\n"
        "const KBDTABLES *KbdLayerDescriptor(void)\n"
        "{\n"
        "    return &KbdTables;\n"
        "}\n"
        "#endif\n";
}

}  // namespace

std::vector<SourceFile> module_sources(const KlcSource &source)
{
    check_name(source.name);
    check_shift_states(source.shift_states);
    for (const KlcKey &key : source.keys)
        check_key(key, source.shift_states.size());
    for (const KlcLigature &l : source.ligatures) {
        if (l.column >= source.shift_states.size())
            fail("LIGATURE of " + vk_text(l.vk), "a column below " +
                 std::to_string(source.shift_states.size()), std::to_string(l.column));
        if (l.chars.empty() || l.chars.size() > 255)
            fail("LIGATURE of " + vk_text(l.vk), "1 to 255 characters",
                 std::to_string(l.chars.size()));
    }

    const auto tables = char_tables(source);
    std::vector<SourceFile> files = {
        {"layout.h", layout_h(source, tables)},
        {"scan_codes.c", scan_codes_c(source)},
        {"modifiers.c", modifiers_c(source)},
        {"char_tables.c", char_tables_c(source, tables)},
    };
    if (!source.dead_keys.empty())
        files.push_back({"dead_keys.c", dead_keys_c(source)});
    if (!source.ligatures.empty())
        files.push_back({"ligatures.c", ligatures_c(source)});
    if (has_key_names(source))
        files.push_back({"key_names.c", key_names_c(source)});
    files.push_back({"descriptor.c", descriptor_c(source)});
    files.push_back({"layout.rc", layout_rc(source)});
    files.push_back({"layout.def", layout_def(source)});
    return files;
}

}  // namespace wendol
