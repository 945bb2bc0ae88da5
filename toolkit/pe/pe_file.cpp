// pe_file.cpp - reads a PE file's headers and section table and hands the
// directories to their own readers.  Nothing is mapped here.
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/error.h"
#include "pe/pe_format.h"
#include "pe_parts.h"

namespace wendol {

namespace {

uint32_t read_nt_offset(const ByteView &file)
{
    const uint16_t magic = file.u16(0, "DOS header");
    if (magic != pe::kDosSignature)
        fail("DOS header", "the signature \"MZ\" (0x5A4D)", hex(magic, 4));
    const uint32_t nt = file.u32(pe::kDosNtOffsetField, "DOS header e_lfanew");
    if (nt % 4 != 0)
        fail("DOS header e_lfanew", "a 4-byte aligned offset", hex(nt));
    const uint32_t signature = file.u32(nt, "PE signature");
    if (signature != pe::kPeSignature)
        fail("PE signature at file offset " + hex(nt), "\"PE\\0\\0\" (0x00004550)",
             hex(signature, 8));
    return nt;
}

bool known_machine(uint16_t machine)
{
    return machine == pe::kMachineI386 || machine == pe::kMachineAmd64 ||
           machine == pe::kMachineArm64;
}

void parse_file_header(const ByteView &file, uint32_t at, HeaderLayout &out)
{
    Headers &h = out.headers;
    h.machine = file.u16(at + pe::kFileMachine, "file header Machine");
    if (!known_machine(h.machine))
        fail("file header Machine", "0x14C (x86), 0x8664 (x64) or 0xAA64 (Arm64)",
             hex(h.machine, 4));
    out.section_count = file.u16(at + pe::kFileNumberOfSections, "file header NumberOfSections");
    if (out.section_count == 0 || out.section_count > pe::kMaxSections)
        fail("file header NumberOfSections",
             "1 to " + std::to_string(pe::kMaxSections) + " sections",
             std::to_string(out.section_count));
    h.timestamp = file.u32(at + pe::kFileTimeDateStamp, "file header TimeDateStamp");
    h.file_characteristics = file.u16(at + pe::kFileCharacteristics, "file header Characteristics");
}

bool power_of_two(uint32_t value)
{
    return value != 0 && std::has_single_bit(value);
}

void check_alignment(const Headers &h)
{
    if (!power_of_two(h.section_alignment))
        fail("optional header SectionAlignment", "a power of two", hex(h.section_alignment));
    if (!power_of_two(h.file_alignment) || h.file_alignment > h.section_alignment)
        fail("optional header FileAlignment",
             "a power of two no larger than SectionAlignment (" + hex(h.section_alignment) + ")",
             hex(h.file_alignment));
}

void check_sizes(const Headers &h, uint64_t file_size, uint32_t headers_end)
{
    if (h.size_of_image == 0 || h.size_of_image > pe::kMaxImageSize)
        fail("optional header SizeOfImage",
             "1 to " + hex(pe::kMaxImageSize) + " bytes", hex(h.size_of_image));
    if (h.size_of_headers < headers_end || h.size_of_headers > h.size_of_image ||
        h.size_of_headers > file_size)
        fail("optional header SizeOfHeaders",
             "at least the headers' " + hex(headers_end) + " bytes and within the file (" +
                 hex(file_size) + ") and the image (" + hex(h.size_of_image) + ")",
             hex(h.size_of_headers));
    if (h.entry_point >= h.size_of_image)
        fail("optional header AddressOfEntryPoint",
             "zero or an RVA inside the image (below " + hex(h.size_of_image) + ")",
             hex(h.entry_point));
}

void parse_optional_header(const ByteView &file, uint32_t at, uint16_t size, HeaderLayout &out)
{
    Headers &h = out.headers;
    const uint16_t magic = file.u16(at + pe::kOptMagic, "optional header Magic");
    if (magic != pe::kMagicPe32 && magic != pe::kMagicPe32Plus)
        fail("optional header Magic", "0x10B (PE32) or 0x20B (PE32+)", hex(magic, 4));
    h.pe32_plus = magic == pe::kMagicPe32Plus;
    const bool wants_plus = h.machine != pe::kMachineI386;
    if (h.pe32_plus != wants_plus)
        fail("optional header Magic",
             std::string(wants_plus ? "PE32+" : "PE32") + " for machine " + hex(h.machine, 4),
             hex(magic, 4));
    const uint32_t fixed = h.pe32_plus ? pe::kOptionalFixedPe32Plus : pe::kOptionalFixedPe32;
    if (size < fixed)
        fail("file header SizeOfOptionalHeader", "at least " + std::to_string(fixed) + " bytes",
             std::to_string(size));
    file.bytes(at, size, "optional header");

    h.optional_header_offset = at;
    h.entry_point = file.u32(at + pe::kOptAddressOfEntryPoint, "optional header AddressOfEntryPoint");
    h.image_base = h.pe32_plus ? file.u64(at + pe::kOptImageBasePe32Plus, "optional header ImageBase")
                               : file.u32(at + pe::kOptImageBasePe32, "optional header ImageBase");
    h.section_alignment = file.u32(at + pe::kOptSectionAlignment, "optional header SectionAlignment");
    h.file_alignment = file.u32(at + pe::kOptFileAlignment, "optional header FileAlignment");
    h.subsystem_major = file.u16(at + pe::kOptMajorSubsystemVersion, "optional header MajorSubsystemVersion");
    h.subsystem_minor = file.u16(at + pe::kOptMinorSubsystemVersion, "optional header MinorSubsystemVersion");
    h.size_of_image = file.u32(at + pe::kOptSizeOfImage, "optional header SizeOfImage");
    h.size_of_headers = file.u32(at + pe::kOptSizeOfHeaders, "optional header SizeOfHeaders");
    h.checksum_offset = at + pe::kOptCheckSum;
    h.checksum = file.u32(h.checksum_offset, "optional header CheckSum");
    h.subsystem = file.u16(at + pe::kOptSubsystem, "optional header Subsystem");
    h.dll_characteristics = file.u16(at + pe::kOptDllCharacteristics, "optional header DllCharacteristics");

    const uint32_t count = file.u32(at + fixed - pe::kOptNumberOfRvaAndSizesBack, "optional header NumberOfRvaAndSizes");
    const uint32_t kept = std::min<uint32_t>(count, pe::kMaxDirectories);
    if (fixed + pe::kDataDirectoryEntrySize * kept > size)
        fail("optional header NumberOfRvaAndSizes",
             "no more directories than the optional header's " + std::to_string(size) +
                 " bytes hold",
             std::to_string(count));
    for (uint32_t i = 0; i < kept; ++i) {
        const uint32_t entry = at + fixed + pe::kDataDirectoryEntrySize * i;
        h.directories.push_back({file.u32(entry, "data directory RVA"),
                                 file.u32(entry + pe::kDataDirectorySizeField, "data directory Size")});
    }
    check_alignment(h);
}

}  // namespace

HeaderLayout parse_headers(const ByteView &file)
{
    HeaderLayout out;
    const uint32_t nt = read_nt_offset(file);
    const uint32_t file_header = nt + pe::kPeSignatureSize;
    parse_file_header(file, file_header, out);
    const uint32_t optional = file_header + pe::kFileHeaderSize;
    const uint16_t optional_size =
        file.u16(file_header + pe::kFileSizeOfOptionalHeader, "file header SizeOfOptionalHeader");
    parse_optional_header(file, optional, optional_size, out);
    out.section_table = optional + optional_size;
    const uint32_t headers_end = out.section_table + pe::kSectionHeaderSize * out.section_count;
    file.bytes(out.section_table, headers_end - out.section_table, "section table");
    check_sizes(out.headers, file.size(), headers_end);
    return out;
}

uint32_t virtual_extent(const Section &section)
{
    return section.virtual_size ? section.virtual_size : section.raw_size;
}

uint32_t file_backed_size(const Section &section)
{
    return std::min(section.raw_size, virtual_extent(section));
}

const Section *section_holding(const std::vector<Section> &sections, uint32_t rva,
                               uint32_t length)
{
    for (const Section &s : sections)
        if (rva >= s.virtual_address &&
            uint64_t{rva} + length <= uint64_t{s.virtual_address} + virtual_extent(s))
            return &s;
    return nullptr;
}

namespace {

Section read_section_header(const ByteView &file, uint32_t at)
{
    Section s;
    const auto name = file.bytes(at + pe::kSectionName, pe::kSectionNameSize, "section name");
    s.name.assign(name.begin(), std::find(name.begin(), name.end(), uint8_t{0}));
    s.virtual_size = file.u32(at + pe::kSectionVirtualSize, "section VirtualSize");
    s.virtual_address = file.u32(at + pe::kSectionVirtualAddress, "section VirtualAddress");
    s.raw_size = file.u32(at + pe::kSectionSizeOfRawData, "section SizeOfRawData");
    s.raw_offset = file.u32(at + pe::kSectionPointerToRawData, "section PointerToRawData");
    s.characteristics = file.u32(at + pe::kSectionCharacteristics, "section Characteristics");
    s.header_offset = at;
    return s;
}

uint64_t align_up(uint64_t value, uint32_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

void check_section(const Section &s, const Headers &h, uint64_t file_size, uint64_t lowest_rva)
{
    const std::string context = "section " + s.name;
    if (s.raw_size != 0 && uint64_t{s.raw_offset} + s.raw_size > file_size)
        fail(context,
             "raw data inside the file (" + hex(file_size) + " bytes)",
             "file offsets " + hex(s.raw_offset) + ".." + hex(uint64_t{s.raw_offset} + s.raw_size));
    const uint32_t extent = virtual_extent(s);
    if (extent == 0)
        fail(context, "a non-empty section", "VirtualSize and SizeOfRawData both zero");
    if (s.virtual_address % h.section_alignment != 0)
        fail(context, "a VirtualAddress aligned to " + hex(h.section_alignment),
             hex(s.virtual_address));
    if (s.virtual_address < lowest_rva)
        fail(context,
             "a VirtualAddress at or above " + hex(lowest_rva) +
                 " (after the headers and the section before)",
             hex(s.virtual_address));
    if (uint64_t{s.virtual_address} + extent > h.size_of_image)
        fail(context, "to end inside the image (SizeOfImage " + hex(h.size_of_image) + ")",
             "RVAs " + hex(s.virtual_address) + ".." + hex(uint64_t{s.virtual_address} + extent));
}

}  // namespace

std::vector<Section> parse_sections(const ByteView &file, const HeaderLayout &layout)
{
    const Headers &h = layout.headers;
    std::vector<Section> sections;
    uint64_t lowest = align_up(h.size_of_headers, h.section_alignment);
    for (uint16_t i = 0; i < layout.section_count; ++i) {
        Section s = read_section_header(file, layout.section_table + pe::kSectionHeaderSize * i);
        check_section(s, h, file.size(), lowest);
        lowest = align_up(uint64_t{s.virtual_address} + virtual_extent(s), h.section_alignment);
        sections.push_back(std::move(s));
    }
    return sections;
}

void check_directories(const Headers &headers, uint64_t file_size)
{
    for (size_t i = 0; i < headers.directories.size(); ++i) {
        const DataDirectory &d = headers.directories[i];
        if (d.rva == 0 && d.size == 0)
            continue;
        const std::string context = "data directory " + std::to_string(i);
        const uint64_t end = uint64_t{d.rva} + d.size;
        if (i == pe::kDirSecurity) {
            if (end > file_size)
                fail(context, "a certificate table inside the file (" + hex(file_size) + " bytes)",
                     "file offsets " + hex(d.rva) + ".." + hex(end));
        } else if (d.rva == 0 || end > headers.size_of_image) {
            fail(context, "RVAs inside the image (below " + hex(headers.size_of_image) + ")",
                 hex(d.rva) + ".." + hex(end));
        }
    }
}

PeFile::PeFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes))
{
    if (bytes_.size() > pe::kMaxFileSize)
        fail("PE file", "at most " + hex(pe::kMaxFileSize) + " bytes", hex(bytes_.size()));
    const ByteView file(bytes_, "file offset", "the file");
    const HeaderLayout layout = parse_headers(file);
    headers_ = layout.headers;
    sections_ = parse_sections(file, layout);
    check_directories(headers_, file.size());

    const FileRva rva(file, sections_, headers_.size_of_headers);
    if (headers_.directories.size() > pe::kDirBaseReloc &&
        headers_.directories[pe::kDirBaseReloc].size != 0)
        relocations_ = parse_relocations(rva, headers_.directories[pe::kDirBaseReloc], sections_);
    if (!headers_.directories.empty() && headers_.directories[pe::kDirExport].size != 0) {
        ExportDirectory exports =
            parse_exports(rva, headers_.directories[pe::kDirExport], headers_.size_of_image);
        exports_ = std::move(exports.exports);
        export_module_name_ = std::move(exports.module_name);
        export_ordinal_base_ = exports.ordinal_base;
    }
}

PeFile PeFile::read(const std::string &path)
{
    // A directory opens as a stream on some systems and tells a nonsense
    // size: say what it is instead.
    std::error_code status_error;
    const auto status = std::filesystem::status(path, status_error);
    if (!status_error && std::filesystem::is_directory(status))
        fail("reading " + path, "a file", "a directory");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("reading " + path, "a readable file", std::strerror(errno));
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > pe::kMaxFileSize)
        fail("reading " + path, "a file of at most " + hex(pe::kMaxFileSize) + " bytes",
             size < 0 ? std::string("a file whose size cannot be told") : hex(uint64_t(size)));
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.read(reinterpret_cast<char *>(bytes.data()), size);
    if (!in)
        fail("reading " + path, std::to_string(size) + " bytes", "a short read");
    return PeFile(std::move(bytes));
}

}  // namespace wendol
