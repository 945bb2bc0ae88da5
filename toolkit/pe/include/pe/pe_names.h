// pe_names.h - readable names for PE header values and flag sets.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace wendol {

std::string machine_name(uint16_t machine);          // "x86 (0x014C)"
std::string subsystem_name(uint16_t subsystem);      // "Windows GUI (2)"
std::string directory_name(unsigned index);          // "export", "base relocation"
std::string relocation_type_name(uint16_t type);     // "HIGHLOW"

struct Flag {
    uint32_t bit;
    const char *name;
};

// The set bits of `flags` by their names in `known`, joined by `separator`,
// the unknown bits last in hex of `digits` digits; "0" for none.
std::string flag_names(uint32_t flags, std::span<const Flag> known, int digits,
                       std::string_view separator = " | ");

// Flag sets as "NAME | NAME | 0x0008", the unknown bits in hex; "0" for none.
std::string file_characteristics_names(uint16_t flags);
std::string dll_characteristics_names(uint16_t flags);
std::string section_characteristics_names(uint32_t flags);

}  // namespace wendol
