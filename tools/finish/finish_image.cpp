// finish_image - the last build step of a layout module.
//
// The linker lays out the image; this step sets what it cannot be made to
// write itself:
//   * the one section holding tables and code is marked code + execute +
//     read (merging .text into .data does not carry the code flag over, and
//     leaves the section writable), and the optional header's code and data
//     sizes are made to agree;
//   * the export directory gets ordinal base 1 without the empty slot for
//     ordinal 0 that the linker leaves in front of the first export;
//   * the header checksum is computed as the platform computes it, by the
//     same code the toolkit checks it with.
// The image is read by the toolkit's PE reader; this step only writes bytes
// at the file offsets the reader found.  Anything unexpected stops the build
// with a message: the step never guesses.
//
// usage: finish_image INPUT OUTPUT [SECTION]   (SECTION defaults to .data)

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_view.h"
#include "base/error.h"
#include "pe/checksum.h"
#include "pe/file_rva.h"
#include "pe/image.h"
#include "pe/pe_format.h"
#include "pe/pe_names.h"
#include "pe/sections.h"

namespace wendol {

namespace {

constexpr uint32_t kSealed = pe::kScnCntCode | pe::kScnMemExecute | pe::kScnMemRead;

// The finished file: the bytes as read, written over at file offsets.
class Patches {
public:
    explicit Patches(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    void u16(uint64_t offset, uint16_t value, std::string_view what) { put(offset, 2, value, what); }
    void u32(uint64_t offset, uint32_t value, std::string_view what) { put(offset, 4, value, what); }
    const std::vector<uint8_t> &bytes() const { return bytes_; }

private:
    void put(uint64_t offset, unsigned width, uint32_t value, std::string_view what)
    {
        ByteView(bytes_, "file offset", "the file").bytes(offset, width, what);   // throws outside
        for (unsigned i = 0; i < width; ++i)
            bytes_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }

    std::vector<uint8_t> bytes_;
};

const Section &named_section(const PeFile &file, const std::string &name)
{
    const Section *found = nullptr;
    size_t count = 0;
    for (const Section &s : file.sections())
        if (s.name == name) {
            found = found ? found : &s;
            ++count;
        }
    if (count != 1)
        fail("section table", "one section named " + name, std::to_string(count));
    return *found;
}

bool holds_uninitialised_data(const Section &s)
{
    return (s.characteristics & pe::kScnCntUninitializedData) ||
           file_backed_size(s) < virtual_extent(s);
}

std::string uninitialised_text(const Section &s)
{
    if (s.characteristics & pe::kScnCntUninitializedData)
        return section_characteristics_names(s.characteristics);
    return "VirtualSize " + hex(virtual_extent(s)) + " beyond its " + hex(file_backed_size(s)) +
           " bytes of file data";
}

// A layout holds constant tables and nothing the platform may write.  The
// section that holds them is made read-only here, which would break any
// uninitialised data in it (such data is there to be written); its write
// flag is the linker's and is what this step takes away.  Every other
// section is left as it is, so none of them may be writable or hold
// uninitialised data either.
void check_nothing_writable(const PeFile &file, const Section &tables)
{
    if (holds_uninitialised_data(tables))
        fail("section " + tables.name,
             "constant tables and code, all of them in the file, to be made read-only",
             uninitialised_text(tables));
    for (const Section &s : file.sections()) {
        if (&s == &tables)
            continue;
        if (s.characteristics & pe::kScnMemWrite)
            fail("section " + s.name,
                 "a section the platform cannot write (only " + tables.name +
                     " is made read-only here)",
                 section_characteristics_names(s.characteristics));
        if (holds_uninitialised_data(s))
            fail("section " + s.name, "no uninitialised data in a layout",
                 uninitialised_text(s));
    }
}

// The tables' section becomes the image's code; the optional header's sizes
// and bases are made to agree with the sections.
void seal_code_section(const PeFile &file, const Section &code, Patches &out)
{
    out.u32(code.header_offset + pe::kSectionCharacteristics, kSealed, "section Characteristics");

    uint64_t data_size = 0;
    uint32_t data_base = 0;   // the first initialised-data section besides the code
    for (const Section &s : file.sections()) {
        if (&s == &code || !(s.characteristics & pe::kScnCntInitializedData))
            continue;
        data_size += s.raw_size;
        data_base = data_base ? data_base : s.virtual_address;
    }
    if (data_size > UINT32_MAX)
        fail("sections", "initialised data of at most " + hex(UINT32_MAX) + " bytes",
             hex(data_size));

    const uint32_t optional = file.headers().optional_header_offset;
    out.u32(optional + pe::kOptSizeOfCode, code.raw_size, "optional header SizeOfCode");
    out.u32(optional + pe::kOptSizeOfInitializedData, static_cast<uint32_t>(data_size),
            "optional header SizeOfInitializedData");
    out.u32(optional + pe::kOptSizeOfUninitializedData, 0, "optional header SizeOfUninitializedData");
    out.u32(optional + pe::kOptBaseOfCode, code.virtual_address, "optional header BaseOfCode");
    if (!file.headers().pe32_plus)
        out.u32(optional + pe::kOptBaseOfData, data_base, "optional header BaseOfData");
}

// The linker numbers exports from ordinal base 0 and leaves slot 0 empty.
// Drop the empty slot: base 1, the functions moved down one place, and each
// name's ordinal index with them.  Already-right tables are left alone.
void fix_export_base(const PeFile &file, Patches &out)
{
    const auto &directories = file.headers().directories;
    if (directories.size() <= pe::kDirExport || directories[pe::kDirExport].size == 0 ||
        file.export_ordinal_base() != 0)
        return;
    // The reader checked the directory and its tables; here they are only
    // found again, to be written.
    const ByteView bytes(file.bytes(), "file offset", "the file");
    const FileRva at(bytes, file.sections(), file.headers().size_of_headers);
    const uint32_t dir = directories[pe::kDirExport].rva;
    const uint32_t count = at.u32(dir + pe::kExportNumberOfFunctions, "export directory NumberOfFunctions");
    const uint32_t names = at.u32(dir + pe::kExportNumberOfNames, "export directory NumberOfNames");
    const uint32_t functions = at.u32(dir + pe::kExportAddressOfFunctions, "export directory AddressOfFunctions");
    const uint32_t ordinals = at.u32(dir + pe::kExportAddressOfNameOrdinals, "export directory AddressOfNameOrdinals");

    if (count == 0)
        fail("export address table", "an empty slot 0 under ordinal base 0", "no slots");
    if (const uint32_t first = at.u32(functions, "export address table"); first != 0)
        fail("export address table", "an empty slot 0 under ordinal base 0",
             "slot 0 holding RVA " + hex(first));
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t next = i + 1 < count ? at.u32(functions + 4 * (i + 1), "export slot") : 0;
        out.u32(at.offset(functions + 4 * i, 4, "export slot"), next, "export slot");
    }
    for (uint32_t i = 0; i < names; ++i) {
        const uint32_t entry = ordinals + 2 * i;
        const uint16_t index = at.u16(entry, "export ordinal table");
        if (index == 0)
            fail("export ordinal table entry " + std::to_string(i),
                 "no name on the empty slot 0", "one");
        out.u16(at.offset(entry, 2, "export ordinal table"), static_cast<uint16_t>(index - 1),
                "export ordinal table");
    }
    out.u32(at.offset(dir + pe::kExportBase, 4, "export directory Base"), 1, "export directory Base");
    out.u32(at.offset(dir + pe::kExportNumberOfFunctions, 4, "export directory NumberOfFunctions"),
            count - 1, "export directory NumberOfFunctions");
}

void set_checksum(const PeFile &file, Patches &out)
{
    const uint32_t field = file.headers().checksum_offset;
    out.u32(field, image_checksum(out.bytes(), field), "optional header CheckSum");
}

void write_file(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        fail("writing " + path, std::to_string(bytes.size()) + " bytes written", "a failed write");
}

void finish(const std::string &input, const std::string &output, const std::string &section)
{
    const PeFile file = PeFile::read(input);
    const Section &code = named_section(file, section);
    check_nothing_writable(file, code);
    Patches out(file.bytes());
    seal_code_section(file, code, out);
    fix_export_base(file, out);
    set_checksum(file, out);
    write_file(output, out.bytes());
}

}  // namespace

}  // namespace wendol

int main(int argc, char **argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: finish_image INPUT OUTPUT [SECTION]\n");
        return 2;
    }
    try {
        wendol::finish(argv[1], argv[2], argc == 4 ? argv[3] : ".data");
    } catch (const wendol::Error &e) {
        std::fprintf(stderr, "finish_image: %s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
