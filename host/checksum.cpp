// checksum.cpp - the image checksum as the platform computes it: the file
// summed as little-endian 16-bit words with the carries folded back in, the
// checksum field itself counted as zero, plus the file's length.
#include "image.h"

namespace wendol {

namespace {

uint32_t fold(uint32_t sum)
{
    return (sum & 0xFFFF) + (sum >> 16);
}

}  // namespace

uint32_t PeFile::computed_checksum() const
{
    const uint64_t field = headers_.checksum_offset;
    uint32_t sum = 0;
    for (size_t i = 0; i < bytes_.size(); i += 2) {
        if (i >= field && i < field + 4)
            continue;
        uint32_t word = bytes_[i];
        if (i + 1 < bytes_.size())
            word |= uint32_t{bytes_[i + 1]} << 8;
        sum = fold(sum + word);
    }
    sum = fold(sum);
    return static_cast<uint32_t>(sum + bytes_.size());
}

}  // namespace wendol
