// key_names.h - what a key is called, looked up the way the platform looks it
// up in the layout's three name lists: by scan code in the plain list, by scan
// code in the E0 list for keys sent with the 0xE0 prefix, and for a dead key
// by its dead character, which is the first character of each stored name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/keymap.h"
#include "tables/tables.h"

namespace wendol {

// The name of the key with this scan code; `e0` when it arrives after the
// 0xE0 prefix.  The first entry with the scan code wins; none gives nullopt.
std::optional<std::u16string> key_name(const LayoutTables &tables, uint8_t scan, bool e0);

// Where the platform looks up the name of a key as the keyboard sends it:
// the scan code and extended bit of the key message.  Two keys swap places
// on the way: Num Lock arrives as plain 0x45 but is looked up as an extended
// key, and Pause arrives as E1 1D and is looked up as plain 0x45.  Other E1
// codes have no name.
struct NameLookup {
    uint8_t scan = 0;
    bool e0 = false;
};
std::optional<NameLookup> name_lookup(ScanCode sent);

// The name of a key as the keyboard sends it, through name_lookup.
std::optional<std::u16string> key_name(const LayoutTables &tables, ScanCode sent);

// A dead-key name taken apart: the dead character it names and the text.
struct DeadKeyName {
    char16_t dead = 0;
    std::u16string name;
};

// An empty stored name names nothing.
std::optional<DeadKeyName> split_dead_key_name(const std::u16string &stored);

// The dead-key list taken apart, in stored order; empty names are left out.
std::vector<DeadKeyName> dead_key_names(const LayoutTables &tables);

// The name of the dead key whose dead character is `dead`, without that
// character; the first matching entry wins.
std::optional<std::u16string> dead_key_name(const LayoutTables &tables, char16_t dead);

}  // namespace wendol
