// klc_defaults.h - what a module built from a .klc source holds that the
// source does not say: the scan codes of a PC/AT keyboard (set 1) and the
// virtual keys they send, the modifier keys, and the rows of the keys that
// type control characters.  A LAYOUT line overrides the scan code it names.
#pragma once

#include <cstdint>
#include <span>

#include "tables/tables.h"

namespace wendol {

// The base map: 128 entries indexed by scan code, the virtual key in the
// low byte and the KBDEXT / KBDMULTIVK / KBDSPECIAL / KBDNUMPAD flags in the
// high byte; 0x00FF where the scan code sends no key.
std::span<const uint16_t> klc_base_scan_map();
// The codes sent after E0 and after E1, in ascending scan-code order.
std::span<const ScanCodeEntry> klc_e0_scan_map();
std::span<const ScanCodeEntry> klc_e1_scan_map();

// A row the builder adds for a virtual key no LAYOUT line gives: what the
// plain, Shift and Ctrl states type (0: nothing).
struct KlcImpliedRow {
    uint8_t vk = 0;
    char16_t plain = 0;
    char16_t shift = 0;
    char16_t ctrl = 0;
};
std::span<const KlcImpliedRow> klc_implied_rows();

// The modifier keys: VK_SHIFT, VK_CONTROL and VK_MENU, and VK_KANA where a
// SHIFTSTATE line holds the Kana bit.
struct KlcModifierKey {
    uint8_t vk = 0;
    uint8_t bits = 0;
};
std::span<const KlcModifierKey> klc_modifier_keys();

}  // namespace wendol
