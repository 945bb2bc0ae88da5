// tables.h - the layout's tables as read from a mapped image through the far
// pointers of its root record.  Nothing here comes from the layout's sources:
// every value was read from the image, and every pointer was checked to lie
// inside it before it was followed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pe/image.h"
#include "tables/kbd_format.h"
#include "tables/descriptor_call.h"

namespace wendol {

const char *to_string(PointerForm form);

// Every field of the tables that holds a far pointer, by the record it sits
// in.  The last four are fields of a list's entries: PointerId::entry tells
// which.
enum class PointerSlot : uint8_t {
    CharModifiers,    // KBDTABLES.pCharModifiers
    VkToWcharTable,   // KBDTABLES.pVkToWcharTable
    DeadKey,          // KBDTABLES.pDeadKey
    KeyNames,         // KBDTABLES.pKeyNames
    KeyNamesExt,      // KBDTABLES.pKeyNamesExt
    KeyNamesDead,     // KBDTABLES.pKeyNamesDead
    VscToVk,          // KBDTABLES.pusVSCtoVK
    VscToVkE0,        // KBDTABLES.pVSCtoVK_E0
    VscToVkE1,        // KBDTABLES.pVSCtoVK_E1
    Ligature,         // KBDTABLES.pLigature
    VkToBit,          // MODIFIERS.pVkToBit
    CharTableRows,    // aVkToWcharTable[i].pVkToWchars
    KeyName,          // aKeyNames[i].pwsz
    KeyNameExt,       // aKeyNamesExt[i].pwsz
    DeadKeyName,      // aKeyNamesDead[i]
};

// One far pointer field: its slot and, for a list's entries, which entry.
struct PointerId {
    PointerSlot slot = PointerSlot::CharModifiers;
    uint32_t entry = 0;   // 0 for a field of a single record
    friend bool operator==(const PointerId &, const PointerId &) = default;
};

// The field as a maintainer names it: "KBDTABLES.pDeadKey",
// "aKeyNames[12].pwsz", "aKeyNamesDead[3]".
std::string label(PointerId id);

// The record or list the slot's field sits in: "KBDTABLES", "aKeyNames".
const char *record_name(PointerSlot slot);

// Where a far pointer field sits and what it held after relocation.
struct PointerField {
    PointerId id;
    uint32_t field_rva = 0;  // where the field sits
    uint64_t value = 0;      // the whole stored field, relocated
    uint32_t target_rva = 0; // valid when value != 0

    std::string label() const { return wendol::label(id); }
};

struct ScanCodeEntry {
    uint8_t scan = 0;
    uint16_t vk = 0;         // virtual key in the low byte, flags in the high
};

struct VkToBit {
    uint8_t vk = 0;
    uint8_t bits = 0;
};

struct Modifiers {
    std::vector<VkToBit> keys;           // without the terminator
    uint16_t max_mod_bits = 0;
    std::vector<uint8_t> mod_number;     // max_mod_bits + 1 entries
};

struct CharRow {
    uint8_t vk = 0;
    uint8_t attributes = 0;
    std::vector<uint16_t> cells;         // one per column
    uint32_t rva = 0;
};

struct CharTable {
    uint8_t columns = 0;                 // nModifications
    uint8_t row_size = 0;                // cbSize
    uint32_t rva = 0;
    std::vector<CharRow> rows;           // without the all-zero end row
};

struct DeadKeyEntry {
    uint16_t dead = 0;                   // high half of dwBoth
    uint16_t base = 0;                   // low half of dwBoth
    uint16_t composed = 0;
    uint16_t flags = 0;
};

struct KeyName {
    uint8_t scan = 0;
    std::u16string name;
};

// One entry of the ligature list: what WCH_LGTR in column `column` of the
// row for `vk` types.
struct LigatureEntry {
    uint8_t vk = 0;                      // VirtualKey
    uint16_t column = 0;                 // ModificationNumber
    std::vector<uint16_t> chars;         // wch[nLgMax], as stored (WCH_NONE included)
    uint32_t rva = 0;

    // The characters typed: those before the first WCH_NONE.
    std::u16string text() const;
};

struct LayoutTables {
    PointerForm form = PointerForm::Wow64;
    uint32_t root_rva = 0;

    Modifiers modifiers;
    std::vector<CharTable> char_tables;      // list order
    std::vector<DeadKeyEntry> dead_keys;     // stored order, no terminator
    std::vector<KeyName> key_names;
    std::vector<KeyName> key_names_ext;
    std::vector<std::u16string> dead_key_names;

    std::vector<uint16_t> scan_map;          // bMaxVSCtoVK entries
    std::vector<ScanCodeEntry> scan_map_e0;  // no terminator
    std::vector<ScanCodeEntry> scan_map_e1;

    uint32_t locale_flags = 0;
    uint8_t lg_max = 0;
    uint8_t cb_lg_entry = 0;
    uint64_t ligature = 0;                   // stored pointer value
    std::vector<LigatureEntry> ligatures;    // stored order, no terminator
    uint32_t type = 0;
    uint32_t subtype = 0;
    // Whether dwType and dwSubType lie inside the root record's section.  An
    // older record, which ends after pLigature, may end with its section:
    // then they are not there, and read as 0.
    bool has_type_fields = true;

    // Every far pointer field read, null or not, in reading order.
    std::vector<PointerField> pointers;
};

// Runs no foreign code: the root record is the address KbdLayerDescriptor's
// body loads (see descriptor_call.h), and a body in any other form throws.
// `form` is detected from the image: PE32+ => Native64; PE32 => Native32 when
// a base relocation sits at root+4 (a second pointer right after the first),
// otherwise Wow64.
LayoutTables read_tables(const MappedImage &image);

// Same, from an accessor already interpreted (see call_descriptor).
LayoutTables read_tables(const MappedImage &image, const DescriptorCall &call);

// Same, with the pointer form and root record given.
LayoutTables read_tables(const MappedImage &image, uint32_t root_rva, PointerForm form);

}  // namespace wendol
