// file_rva.cpp - RVA to file offset through the section table.
#include "pe/file_rva.h"

#include "base/error.h"
#include "pe_parts.h"

namespace wendol {

FileRva::FileRva(const ByteView &file, const std::vector<Section> &sections,
                 uint32_t size_of_headers)
    : file_(file), sections_(sections), size_of_headers_(size_of_headers)
{
}

uint64_t FileRva::offset(uint32_t rva, uint32_t length, std::string_view what) const
{
    const uint64_t end = uint64_t{rva} + length;
    if (end <= size_of_headers_)
        return rva;
    for (const Section &s : sections_) {
        if (rva >= s.virtual_address && end <= uint64_t{s.virtual_address} + file_backed_size(s))
            return uint64_t{s.raw_offset} + (rva - s.virtual_address);
    }
    fail(std::string(what),
         std::to_string(length) + " bytes at RVA " + hex(rva) + " backed by a section's file data",
         "no section that holds them");
}

uint16_t FileRva::u16(uint32_t rva, std::string_view what) const
{
    return file_.u16(offset(rva, 2, what), what);
}

uint32_t FileRva::u32(uint32_t rva, std::string_view what) const
{
    return file_.u32(offset(rva, 4, what), what);
}

std::string FileRva::c_string(uint32_t rva, uint32_t max_length, std::string_view what) const
{
    std::string text;
    for (uint32_t i = 0; i <= max_length; ++i) {
        const uint64_t at = uint64_t{rva} + i;
        if (at > UINT32_MAX)
            break;
        const uint8_t c = file_.u8(offset(static_cast<uint32_t>(at), 1, what), what);
        if (c == 0)
            return text;
        text.push_back(static_cast<char>(c));
    }
    fail(std::string(what),
         "a NUL-terminated name of at most " + std::to_string(max_length) + " characters at RVA " +
             hex(rva),
         "no NUL within that length");
}

}  // namespace wendol
