// imports.cpp - the import directory, read only as far as telling whether
// the image imports anything: the descriptors before the all-zero one that
// ends the list.
#include <algorithm>
#include <string>

#include "base/error.h"
#include "pe/pe_format.h"
#include "pe_parts.h"

namespace wendol {

namespace {

bool all_zero(const FileRva &file, uint32_t rva)
{
    for (uint32_t at = rva; at < rva + pe::kImportDescriptorSize; at += 4)
        if (file.u32(at, "import descriptor") != 0)
            return false;
    return true;
}

}  // namespace

uint32_t import_descriptor_count(const PeFile &pe_file)
{
    const Headers &h = pe_file.headers();
    if (h.directories.size() <= pe::kDirImport || h.directories[pe::kDirImport].size == 0)
        return 0;
    const DataDirectory &dir = h.directories[pe::kDirImport];
    const ByteView bytes(pe_file.bytes(), "file offset", "the file");
    const FileRva file(bytes, pe_file.sections(), h.size_of_headers);
    // The directory's size was checked against the image when it was read,
    // so the walk is bounded by it.
    const uint32_t slots = std::max<uint32_t>(1, dir.size / pe::kImportDescriptorSize);
    for (uint32_t i = 0; i < slots; ++i)
        if (all_zero(file, dir.rva + i * pe::kImportDescriptorSize))
            return i;
    return slots;
}

}  // namespace wendol
