// image.h - a PE image loaded as the platform's loader loads it: headers
// validated, sections mapped at a chosen base, base relocations applied,
// exports resolved.  Every read is bounds-checked; bad input throws Error.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace wendol {

struct Section {
    std::string name;
    uint32_t virtual_address = 0;
    uint32_t virtual_size = 0;
    uint32_t raw_offset = 0;
    uint32_t raw_size = 0;
    uint32_t characteristics = 0;
    uint32_t header_offset = 0;   // file offset of its section header
};

struct DataDirectory {
    uint32_t rva = 0;
    uint32_t size = 0;
};

// One base relocation as stored in the image (type 0, padding, excluded).
struct BaseRelocation {
    uint32_t rva = 0;
    uint16_t type = 0;   // 3 HIGHLOW, 10 DIR64
};

struct Export {
    std::string name;
    uint32_t ordinal = 0;   // biased by the ordinal base
    uint32_t rva = 0;
};

// The header fields a layout module is judged by.
struct Headers {
    uint16_t machine = 0;              // 0x14C x86, 0x8664 x64, 0xAA64 Arm64
    uint16_t file_characteristics = 0;
    uint32_t timestamp = 0;
    bool pe32_plus = false;
    uint64_t image_base = 0;
    uint32_t entry_point = 0;
    uint32_t section_alignment = 0;
    uint32_t file_alignment = 0;
    uint16_t subsystem = 0;
    uint16_t subsystem_major = 0, subsystem_minor = 0;
    uint16_t dll_characteristics = 0;
    uint32_t size_of_image = 0;
    uint32_t size_of_headers = 0;
    uint32_t checksum = 0;             // as stored
    uint32_t optional_header_offset = 0;   // file offset of the optional header
    uint32_t checksum_offset = 0;      // file offset of the checksum field
    std::vector<DataDirectory> directories;
};

// The file as read: headers, sections, relocations, exports.  No mapping.
class PeFile {
public:
    // Throws Error on anything that cannot be read.
    explicit PeFile(std::vector<uint8_t> bytes);
    static PeFile read(const std::string &path);

    const std::vector<uint8_t> &bytes() const { return bytes_; }
    const Headers &headers() const { return headers_; }
    const std::vector<Section> &sections() const { return sections_; }
    const std::vector<BaseRelocation> &relocations() const { return relocations_; }
    const std::vector<Export> &exports() const { return exports_; }
    std::string export_module_name() const { return export_module_name_; }
    uint32_t export_ordinal_base() const { return export_ordinal_base_; }

    // The checksum as the platform computes it over these bytes.
    uint32_t computed_checksum() const;

private:
    std::vector<uint8_t> bytes_;
    Headers headers_;
    std::vector<Section> sections_;
    std::vector<BaseRelocation> relocations_;
    std::vector<Export> exports_;
    std::string export_module_name_;
    uint32_t export_ordinal_base_ = 0;
};

// The import descriptors before the all-zero one that ends the list, read
// as far as the import directory reaches (one at least, when it has a
// size): 0 for an image without an import directory, and 0 for one whose
// directory holds the terminator alone, as GNU ld writes for a module that
// imports nothing.  Throws Error where the file does not hold a descriptor
// it reads.
uint32_t import_descriptor_count(const PeFile &file);

// The image mapped at a base, relocated, as the loader leaves it in memory.
class MappedImage {
public:
    // Maps every section at `base` (size_of_image bytes, zero-filled) and
    // applies the base relocations for the difference to the preferred base.
    // At the preferred base nothing is patched; elsewhere a relocation other
    // than HIGHLOW (PE32) or DIR64 (PE32+) cannot be applied and is refused.
    MappedImage(PeFile file, uint64_t base);

    const PeFile &file() const { return file_; }
    uint64_t base() const { return base_; }
    std::span<const uint8_t> memory() const { return memory_; }

    // Bounds-checked reads at an RVA; throw Error naming `what`.
    uint8_t u8(uint32_t rva, const char *what) const;
    uint16_t u16(uint32_t rva, const char *what) const;
    uint32_t u32(uint32_t rva, const char *what) const;
    uint64_t u64(uint32_t rva, const char *what) const;
    std::span<const uint8_t> bytes(uint32_t rva, uint32_t size, const char *what) const;

    // An address inside the mapping as an RVA; throws if it lies outside.
    uint32_t rva_of(uint64_t address, const char *what) const;
    // The address the loader resolves for an exported name; throws if absent.
    uint64_t export_address(const std::string &name) const;

private:
    PeFile file_;
    uint64_t base_;
    std::vector<uint8_t> memory_;
};

}  // namespace wendol
