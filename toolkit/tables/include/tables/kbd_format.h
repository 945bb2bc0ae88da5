// kbd_format.h - the platform's keyboard-layout vocabulary in one place: the
// cell markers, row attributes, scan-code flags, modifier bits, locale
// flags and composition flags of the kbd.h interface (version 1), the
// virtual keys the platform treats apart, and where each field of the root
// record and the modifier record sits, as a function of the pointer form.
//
// Every other file asks these names; none spells a bit or an offset again.
#pragma once

#include <cstdint>

namespace wendol {

// How the image stores its table pointers.
enum class PointerForm {
    Wow64,     // 32-bit image, 64-bit fields: low half address, high half zero
    Native32,  // 32-bit image, 32-bit pointers
    Native64,  // PE32+ image, 64-bit pointers
};

// The bytes of one far pointer field: 4 in Native32, 8 otherwise.
constexpr uint32_t pointer_size(PointerForm form)
{
    return form == PointerForm::Native32 ? 4 : 8;
}

// The records of the lists that hold no pointer, the same in every form.
constexpr uint32_t kVkToBitSize = 2;     // VK_TO_BIT: virtual key, modifier bit
constexpr uint32_t kDeadKeySize = 8;     // DEADKEY: dead and base character, result, flags
constexpr uint32_t kVscVkSize = 4;       // VSC_VK: scan code, virtual key

// Cell markers (VK_TO_WCHARS.wch).
constexpr uint16_t kWchNone = 0xF000;       // WCH_NONE: no character
constexpr uint16_t kWchDead = 0xF001;       // WCH_DEAD: the row below holds the dead character
constexpr uint16_t kWchLigature = 0xF002;   // WCH_LGTR: the ligature list holds the characters

// A cell that is a character of its own, not a marker.
constexpr bool is_character_cell(uint16_t cell)
{
    return cell != kWchNone && cell != kWchDead && cell != kWchLigature;
}

// Row attributes (VK_TO_WCHARS.Attributes).
constexpr uint8_t kCapLok = 0x01;        // CAPLOK: Caps Lock acts as Shift
constexpr uint8_t kSgCaps = 0x02;        // SGCAPS: the row below is the Caps Lock row
constexpr uint8_t kCapLokAltGr = 0x04;   // CAPLOKALTGR: Caps Lock acts as Shift with AltGr
constexpr uint8_t kKanaLok = 0x08;       // KANALOK: the Kana lock adds KBDKANA
constexpr uint8_t kGrpSelTap = 0x80;     // GRPSELTAP
constexpr uint8_t kModelledAttributes = kCapLok | kSgCaps | kCapLokAltGr | kKanaLok;

// The virtual key of a continuation row, and the no-key value of the maps.
constexpr uint8_t kContinuationVk = 0xFF;
// A modification number that selects no column: nothing is typed.
constexpr uint8_t kShiftInvalid = 0x0F;   // SHFT_INVALID

// Scan-code map flag bits (the high byte of a map entry).
constexpr uint16_t kKbdExt = 0x0100;       // KBDEXT
constexpr uint16_t kKbdMultiVk = 0x0200;   // KBDMULTIVK
constexpr uint16_t kKbdSpecial = 0x0400;   // KBDSPECIAL
constexpr uint16_t kKbdNumpad = 0x0800;    // KBDNUMPAD

// Modifier bits (MODIFIERS.pVkToBit[i].ModBits).
constexpr unsigned kKbdShift = 0x01;      // KBDSHIFT
constexpr unsigned kKbdCtrl = 0x02;       // KBDCTRL
constexpr unsigned kKbdAlt = 0x04;        // KBDALT
constexpr unsigned kKbdKana = 0x08;       // KBDKANA
constexpr unsigned kKbdRoya = 0x10;       // KBDROYA
constexpr unsigned kKbdLoya = 0x20;       // KBDLOYA
constexpr unsigned kKbdGrpSelTap = 0x80;  // KBDGRPSELTAP
constexpr unsigned kKbdAltGr = kKbdCtrl | kKbdAlt;   // what AltGr is to the tables

// Locale flags (the low word of KBDTABLES.fLocaleFlags).
constexpr uint32_t kKllfAltGr = 0x0001;       // KLLF_ALTGR: right Alt holds Ctrl too
constexpr uint32_t kKllfShiftLock = 0x0002;   // KLLF_SHIFTLOCK: Shift releases Caps Lock
constexpr uint32_t kKllfLrmRlm = 0x0004;      // KLLF_LRM_RLM: Shift+Backspace gives LRM/RLM
constexpr uint32_t kModelledLocaleFlags = kKllfAltGr | kKllfShiftLock | kKllfLrmRlm;

// Composition flags (DEADKEY.uFlags).
constexpr uint16_t kDkfDead = 0x0001;   // DKF_DEAD: the result is itself a dead character

// The virtual keys the platform treats apart.
constexpr uint8_t kVkCancel = 0x03, kVkBack = 0x08, kVkClear = 0x0C, kVkPause = 0x13;
constexpr uint8_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkKana = 0x15;
constexpr uint8_t kVkCapital = 0x14, kVkNumLock = 0x90, kVkScroll = 0x91;
constexpr uint8_t kVkPrior = 0x21, kVkNext = 0x22, kVkEnd = 0x23, kVkHome = 0x24;
constexpr uint8_t kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28;
constexpr uint8_t kVkInsert = 0x2D, kVkDelete = 0x2E;
constexpr uint8_t kVkNumpad0 = 0x60, kVkNumpad9 = 0x69, kVkDecimal = 0x6E, kVkDivide = 0x6F;
constexpr uint8_t kVkLShift = 0xA0, kVkRShift = 0xA1;
constexpr uint8_t kVkLControl = 0xA2, kVkRControl = 0xA3;
constexpr uint8_t kVkLMenu = 0xA4, kVkRMenu = 0xA5;
constexpr uint8_t kVkAltGr = 0xE8;   // this layout's own right Alt key

// The marks the platform types for KLLF_LRM_RLM.
constexpr char16_t kLeftToRightMark = 0x200E, kRightToLeftMark = 0x200F;

// KBDTABLES field offsets for a pointer form: the first seven fields are
// pointers, then bMaxVSCtoVK, the two prefixed maps, fLocaleFlags, nLgMax,
// cbLgEntry, pLigature (aligned to a pointer), dwType and dwSubType.  An
// older header ends after pLigature.
struct KbdTablesLayout {
    uint32_t p;
    explicit constexpr KbdTablesLayout(PointerForm form) : p(pointer_size(form)) {}
    constexpr uint32_t pointer(unsigned index) const { return index * p; }   // the first seven
    constexpr uint32_t max_vsc() const { return 7 * p; }
    constexpr uint32_t e0() const { return 8 * p; }
    constexpr uint32_t e1() const { return 9 * p; }
    constexpr uint32_t locale_flags() const { return 10 * p; }
    constexpr uint32_t lg_max() const { return 10 * p + 4; }
    constexpr uint32_t cb_lg_entry() const { return 10 * p + 5; }
    constexpr uint32_t ligature() const { return (10 * p + 6 + p - 1) / p * p; }
    constexpr uint32_t type() const { return ligature() + p; }
    constexpr uint32_t subtype() const { return type() + 4; }
    constexpr uint32_t size() const { return subtype() + 4; }
    constexpr uint32_t older_size() const { return type(); }   // without dwType, dwSubType
};

// MODIFIERS: pVkToBit, wMaxModBits, then ModNumber[] one byte each.
struct ModifiersLayout {
    uint32_t p;
    explicit constexpr ModifiersLayout(PointerForm form) : p(pointer_size(form)) {}
    constexpr uint32_t max_mod_bits() const { return p; }
    constexpr uint32_t mod_number(unsigned bits) const { return p + 2 + bits; }
};

static_assert(KbdTablesLayout(PointerForm::Wow64).size() == 104);
static_assert(KbdTablesLayout(PointerForm::Native32).size() == 60);
static_assert(KbdTablesLayout(PointerForm::Wow64).older_size() == 96);
static_assert(KbdTablesLayout(PointerForm::Native32).older_size() == 52);

}  // namespace wendol
