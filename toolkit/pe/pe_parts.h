// pe_parts.h - the pieces PeFile is read in, one job each: the headers, the
// section table, the base relocations and the export directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_view.h"
#include "pe/file_rva.h"
#include "pe/image.h"
#include "pe/sections.h"

namespace wendol {

struct HeaderLayout {
    Headers headers;
    uint32_t section_table = 0;   // file offset
    uint16_t section_count = 0;
};

// DOS header, PE signature, file header, optional header, data directories.
HeaderLayout parse_headers(const ByteView &file);

// The section table, checked against the file and the image size.
std::vector<Section> parse_sections(const ByteView &file, const HeaderLayout &layout);

// The data directories checked against the image (and, for the certificate
// table, the file).
void check_directories(const Headers &headers, uint64_t file_size);

// The .reloc blocks: type-0 padding dropped, every target inside a section.
std::vector<BaseRelocation> parse_relocations(const FileRva &file, const DataDirectory &directory,
                                              const std::vector<Section> &sections);

struct ExportDirectory {
    std::vector<Export> exports;   // one per non-empty address slot
    std::string module_name;
    uint32_t ordinal_base = 0;
};

ExportDirectory parse_exports(const FileRva &file, const DataDirectory &directory,
                              uint32_t size_of_image);

}  // namespace wendol
