// checksum.cpp - the image checksum as the platform computes it.
#include "pe/checksum.h"

#include "pe/image.h"

namespace wendol {

namespace {

uint32_t fold(uint32_t sum)
{
    return (sum & 0xFFFF) + (sum >> 16);
}

}  // namespace

uint32_t image_checksum(std::span<const uint8_t> file, size_t field)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < file.size(); i += 2) {
        if (i >= field && i < field + 4)
            continue;
        uint32_t word = file[i];
        if (i + 1 < file.size())
            word |= uint32_t{file[i + 1]} << 8;
        sum = fold(sum + word);
    }
    sum = fold(sum);
    return static_cast<uint32_t>(sum + file.size());
}

uint32_t PeFile::computed_checksum() const
{
    return image_checksum(bytes_, headers_.checksum_offset);
}

}  // namespace wendol
