// sections.h - where an RVA falls among an image's sections, as the loader
// lays them out.
#pragma once

#include <cstdint>
#include <vector>

#include "pe/image.h"

namespace wendol {

// The section whose virtual extent holds [rva, rva + length), or null.
const Section *section_holding(const std::vector<Section> &sections, uint32_t rva,
                               uint32_t length);

// VirtualSize, or the raw size when the former is zero, as the loader reads it.
uint32_t virtual_extent(const Section &section);

// The part of that extent the file's raw data fills; the loader zero-fills
// the rest.
uint32_t file_backed_size(const Section &section);

}  // namespace wendol
