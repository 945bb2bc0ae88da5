// file_rva.h - reads at RVAs of an image that is not mapped yet, through the
// section table: an RVA is found in the section (or the headers) whose file
// data backs it.  Used for the export and relocation directories, which the
// file must read before anything is mapped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_view.h"
#include "pe/image.h"

namespace wendol {

class FileRva {
public:
    FileRva(const ByteView &file, const std::vector<Section> &sections, uint32_t size_of_headers);

    // The file offset of `length` bytes at `rva`; throws if the file does not
    // hold all of them.
    uint64_t offset(uint32_t rva, uint32_t length, std::string_view what) const;

    uint16_t u16(uint32_t rva, std::string_view what) const;
    uint32_t u32(uint32_t rva, std::string_view what) const;
    std::string c_string(uint32_t rva, uint32_t max_length, std::string_view what) const;

private:
    const ByteView &file_;
    const std::vector<Section> &sections_;
    uint32_t size_of_headers_;
};

}  // namespace wendol
