// finish_image - the last build step of a layout module.
//
// The linker lays out the image; this step sets what it cannot be made to
// write itself:
//   * the one section holding tables and code is marked code + execute +
//     read (merging .text into .data does not carry the code flag over), and
//     the optional header's code and data sizes are made to agree;
//   * the export directory gets ordinal base 1 without the empty slot for
//     ordinal 0 that the linker leaves in front of the first export;
//   * the header checksum is computed as the platform computes it, by the
//     same code the toolkit checks it with.
// Anything unexpected stops the build with a message: the step never guesses.
//
// usage: finish_image INPUT OUTPUT [SECTION]   (SECTION defaults to .data)

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "pe/checksum.h"

namespace {

constexpr uint32_t kScnCntCode = 0x00000020;
constexpr uint32_t kScnCntInitializedData = 0x00000040;
constexpr uint32_t kScnCntUninitializedData = 0x00000080;
constexpr uint32_t kScnMemExecute = 0x20000000;
constexpr uint32_t kScnMemRead = 0x40000000;
constexpr uint32_t kScnMemWrite = 0x80000000;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string hex(uint64_t v)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(v));
    return buf;
}

// Little-endian access to the file, every access bounds-checked.
class Bytes {
public:
    explicit Bytes(std::vector<uint8_t> data) : data_(std::move(data)) {}

    uint32_t get(uint64_t offset, unsigned width, const char *what) const
    {
        check(offset, width, what);
        uint32_t v = 0;
        for (unsigned i = 0; i < width; ++i)
            v |= static_cast<uint32_t>(data_[offset + i]) << (8 * i);
        return v;
    }
    void put(uint64_t offset, unsigned width, uint32_t value, const char *what)
    {
        check(offset, width, what);
        for (unsigned i = 0; i < width; ++i)
            data_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
    size_t size() const { return data_.size(); }
    const std::vector<uint8_t> &data() const { return data_; }

private:
    void check(uint64_t offset, unsigned width, const char *what) const
    {
        if (offset + width > data_.size())
            throw Failure(std::string(what) + ": expected bytes at " + hex(offset) +
                          ", found a file of " + hex(data_.size()) + " bytes");
    }
    std::vector<uint8_t> data_;
};

struct SectionHeader {
    uint64_t header_offset;
    std::string name;
    uint32_t virtual_size, rva, raw_size, raw_offset, characteristics;
};

struct Layout {
    uint64_t pe;          // offset of "PE\0\0"
    uint64_t optional;    // offset of the optional header
    bool pe32_plus;
    uint64_t directories; // offset of the data directories
    uint32_t directory_count;
    std::vector<SectionHeader> sections;
};

Layout read_layout(const Bytes &b)
{
    if (b.get(0, 2, "DOS header") != 0x5A4D)
        throw Failure("DOS header: expected \"MZ\", found " + hex(b.get(0, 2, "DOS header")));
    Layout l{};
    l.pe = b.get(0x3C, 4, "e_lfanew");
    if (b.get(l.pe, 4, "PE signature") != 0x4550)
        throw Failure("PE signature: expected \"PE\\0\\0\", found " + hex(b.get(l.pe, 4, "PE signature")));
    const uint32_t section_count = b.get(l.pe + 6, 2, "NumberOfSections");
    const uint32_t optional_size = b.get(l.pe + 20, 2, "SizeOfOptionalHeader");
    l.optional = l.pe + 24;
    const uint32_t magic = b.get(l.optional, 2, "optional header magic");
    if (magic != 0x10B && magic != 0x20B)
        throw Failure("optional header magic: expected 0x10B or 0x20B, found " + hex(magic));
    l.pe32_plus = magic == 0x20B;
    l.directories = l.optional + (l.pe32_plus ? 112 : 96);
    l.directory_count = b.get(l.directories - 4, 4, "NumberOfRvaAndSizes");
    if (l.directory_count > 16)
        throw Failure("NumberOfRvaAndSizes: expected at most 16, found " + hex(l.directory_count));
    uint64_t at = l.optional + optional_size;
    for (uint32_t i = 0; i < section_count; ++i, at += 40) {
        SectionHeader s{};
        s.header_offset = at;
        for (unsigned c = 0; c < 8; ++c) {
            const char ch = static_cast<char>(b.get(at + c, 1, "section name"));
            if (ch == '\0')
                break;
            s.name += ch;
        }
        s.virtual_size = b.get(at + 8, 4, "VirtualSize");
        s.rva = b.get(at + 12, 4, "VirtualAddress");
        s.raw_size = b.get(at + 16, 4, "SizeOfRawData");
        s.raw_offset = b.get(at + 20, 4, "PointerToRawData");
        s.characteristics = b.get(at + 36, 4, "Characteristics");
        if (uint64_t{s.raw_offset} + s.raw_size > b.size())
            throw Failure("section " + s.name + ": expected its data inside the file, found it ending at " +
                          hex(uint64_t{s.raw_offset} + s.raw_size));
        l.sections.push_back(s);
    }
    return l;
}

uint64_t file_offset_of(const Layout &l, uint32_t rva, uint32_t size, const char *what)
{
    for (const SectionHeader &s : l.sections)
        if (rva >= s.rva && uint64_t{rva} + size <= uint64_t{s.rva} + s.raw_size)
            return uint64_t{s.raw_offset} + (rva - s.rva);
    throw Failure(std::string(what) + ": expected an RVA inside a section's data, found " + hex(rva));
}

// The tables and the code share one section: code, execute, read, never write.
void mark_code_section(Bytes &b, const Layout &l, const std::string &name)
{
    uint32_t code_size = 0, data_size = 0, code_base = 0;
    bool found = false;
    for (const SectionHeader &s : l.sections) {
        if (s.name == name) {
            if (s.characteristics & kScnMemWrite && s.characteristics & kScnCntUninitializedData)
                throw Failure("section " + name + ": expected constant data, found uninitialised data");
            b.put(s.header_offset + 36, 4, kScnCntCode | kScnMemExecute | kScnMemRead, "Characteristics");
            code_size += s.raw_size;
            code_base = s.rva;
            found = true;
        } else if (s.characteristics & kScnCntInitializedData) {
            data_size += s.raw_size;
        }
    }
    if (!found)
        throw Failure("sections: expected one named " + name + ", found none");
    b.put(l.optional + 4, 4, code_size, "SizeOfCode");
    b.put(l.optional + 8, 4, data_size, "SizeOfInitializedData");
    b.put(l.optional + 12, 4, 0, "SizeOfUninitializedData");
    b.put(l.optional + 20, 4, code_base, "BaseOfCode");
    if (!l.pe32_plus) {
        // BaseOfData: the first initialised-data section after the code.
        uint32_t data_base = 0;
        for (const SectionHeader &s : l.sections)
            if (s.name != name && (s.characteristics & kScnCntInitializedData)) {
                data_base = s.rva;
                break;
            }
        b.put(l.optional + 24, 4, data_base, "BaseOfData");
    }
}

// The linker numbers exports from ordinal base 0 and leaves slot 0 empty.
// Drop the empty slot: base 1, the functions moved down one place, and each
// name's ordinal index with them.  Already-right tables are left alone.
void fix_export_base(Bytes &b, const Layout &l)
{
    if (l.directory_count < 1)
        return;
    const uint32_t dir_rva = b.get(l.directories, 4, "export directory RVA");
    if (dir_rva == 0)
        return;
    const uint64_t dir = file_offset_of(l, dir_rva, 40, "export directory");
    const uint32_t base = b.get(dir + 16, 4, "export ordinal base");
    const uint32_t functions = b.get(dir + 20, 4, "NumberOfFunctions");
    const uint32_t names = b.get(dir + 24, 4, "NumberOfNames");
    if (base != 0)
        return;
    if (functions == 0 || functions > 0x10000 || names > functions)
        throw Failure("export directory: expected a few exports, found " + hex(functions) + " functions");
    const uint64_t eat = file_offset_of(l, b.get(dir + 28, 4, "AddressOfFunctions"), functions * 4,
                                        "export address table");
    const uint64_t ordinals = file_offset_of(l, b.get(dir + 36, 4, "AddressOfNameOrdinals"), names * 2,
                                             "export ordinal table");
    if (b.get(eat, 4, "export slot 0") != 0)
        throw Failure("export address table: expected slot 0 empty under ordinal base 0, found " +
                      hex(b.get(eat, 4, "export slot 0")));
    for (uint32_t i = 0; i + 1 < functions; ++i)
        b.put(eat + 4 * i, 4, b.get(eat + 4 * (i + 1), 4, "export slot"), "export slot");
    b.put(eat + 4 * (functions - 1), 4, 0, "export slot");
    for (uint32_t i = 0; i < names; ++i) {
        const uint32_t index = b.get(ordinals + 2 * i, 2, "name ordinal");
        if (index == 0)
            throw Failure("export ordinal table: expected no name on the empty slot 0, found one");
        b.put(ordinals + 2 * i, 2, index - 1, "name ordinal");
    }
    b.put(dir + 16, 4, 1, "export ordinal base");
    b.put(dir + 20, 4, functions - 1, "NumberOfFunctions");
}

void set_checksum(Bytes &b, const Layout &l)
{
    const uint64_t field = l.optional + 64;
    b.put(field, 4, wendol::image_checksum(b.data(), field), "CheckSum");
}

std::vector<uint8_t> read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Failure(path + ": expected a readable file, found none");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const std::string &path, const std::vector<uint8_t> &data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out)
        throw Failure(path + ": could not be written");
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: finish_image INPUT OUTPUT [SECTION]\n");
        return 2;
    }
    try {
        Bytes b(read_file(argv[1]));
        const Layout l = read_layout(b);
        mark_code_section(b, l, argc == 4 ? argv[3] : ".data");
        fix_export_base(b, l);
        set_checksum(b, l);
        write_file(argv[2], b.data());
    } catch (const Failure &e) {
        std::fprintf(stderr, "finish_image: %s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
