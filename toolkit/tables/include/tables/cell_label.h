// cell_label.h - a character-table cell as a maintainer reads it.
#pragma once

#include <cstdint>
#include <string>

namespace wendol {

// "none", "dead", "ligature" or the cell's character label ("U+00E9 é").
std::string cell_label(uint16_t cell);

}  // namespace wendol
