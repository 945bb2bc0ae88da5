// checksum.h - the image checksum as the platform computes it.  Standalone:
// the module's finishing step sets the checksum with the same code that the
// toolkit judges it by.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace wendol {

// The file summed as little-endian 16-bit words with the carries folded back
// in, the four bytes at `field` (the checksum itself) counted as zero, plus
// the file's length.
uint32_t image_checksum(std::span<const uint8_t> file, size_t field);

}  // namespace wendol
