// vk_names.h - virtual-key codes and their winuser.h names, plus this
// layout's own VK_ALTGR (0xE8).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tables/kbd_format.h"

namespace wendol {

// The primary name of a code ("VK_RSHIFT"), or null for a code without one.
// Letters and digits have no VK_ name: see vk_label.
const char *vk_name(uint8_t vk);

// A name for every code: "VK_RSHIFT", "A", "7", or "0x0A" when unnamed.
std::string vk_label(uint8_t vk);

// The code for a name: "VK_RSHIFT" or "RSHIFT" (any case, aliases such as
// VK_HANGUL too), a letter or digit ("A", "7"), or a number ("0xA1", "161").
std::optional<uint8_t> vk_from_name(std::string_view name);

}  // namespace wendol
