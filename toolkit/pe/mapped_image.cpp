// mapped_image.cpp - lays the file out as the loader does: the headers, then
// each section at its RVA in a zero-filled block of SizeOfImage bytes, then
// the base relocations for the distance between the chosen and the preferred
// base (none at all at the preferred base itself).
#include <algorithm>
#include <cstring>
#include <string>

#include "base/byte_view.h"
#include "base/error.h"
#include "pe/pe_format.h"
#include "pe/pe_names.h"
#include "pe_parts.h"

namespace wendol {

namespace {

constexpr uint64_t kAllocationGranularity = 0x10000;

void check_base(const PeFile &file, uint64_t base)
{
    const Headers &h = file.headers();
    if (base == 0 || base % kAllocationGranularity != 0)
        fail("mapping base", "a non-zero address aligned to 64 KiB", hex(base));
    const uint64_t limit = h.pe32_plus ? UINT64_MAX : uint64_t{UINT32_MAX};
    if (base > limit - h.size_of_image)
        fail("mapping base",
             std::string("an address where the whole image (") + hex(h.size_of_image) +
                 " bytes) fits in the " + (h.pe32_plus ? "64" : "32") + "-bit address space",
             hex(base));
}

// The mapping is as large as the image declares itself; a small file may not
// declare a large one, or every read of it would cost a large block of zeros.
void check_size(const PeFile &file)
{
    const uint64_t file_size = file.bytes().size();
    const uint64_t limit = file_size + pe::kMaxUnbackedImage;
    const uint32_t declared = file.headers().size_of_image;
    if (declared > limit)
        fail("optional header SizeOfImage",
             "at most the file's " + hex(file_size) + " bytes plus " +
                 hex(pe::kMaxUnbackedImage) +
                 " of alignment padding and uninitialised data (" + hex(limit) + ")",
             hex(declared));
}

void copy_file_data(const PeFile &file, std::vector<uint8_t> &memory)
{
    const ByteView bytes(file.bytes(), "file offset", "the file");
    const auto headers = bytes.bytes(0, file.headers().size_of_headers, "headers");
    std::copy(headers.begin(), headers.end(), memory.begin());
    for (const Section &s : file.sections()) {
        const auto data = bytes.bytes(s.raw_offset, file_backed_size(s), "section " + s.name);
        std::copy(data.begin(), data.end(), memory.begin() + s.virtual_address);
    }
}

void patch(std::vector<uint8_t> &memory, uint32_t rva, unsigned width, uint64_t delta)
{
    uint64_t value = 0;
    for (unsigned i = width; i-- > 0;)
        value = value << 8 | memory.at(rva + i);
    value += delta;
    for (unsigned i = 0; i < width; ++i)
        memory.at(rva + i) = static_cast<uint8_t>(value >> (8 * i));
}

std::string type_text(uint16_t type)
{
    const std::string name = relocation_type_name(type);
    const std::string number = "type " + std::to_string(type);
    return name == number ? number : number + " (" + name + ")";
}

// At the preferred base every stored address is already right and nothing
// is patched, so a relocation the loader could not apply stops nothing there
// (whether its type is right is the verifier's to judge).  Anywhere else
// each one must be of the one type that patches a whole address of this
// image's width.  The parser checked that the patched bytes lie inside a
// section.
void apply_relocations(const PeFile &file, uint64_t base, std::vector<uint8_t> &memory)
{
    const Headers &h = file.headers();
    const uint64_t delta = base - h.image_base;
    if (delta == 0)
        return;
    const uint16_t wanted = h.pe32_plus ? pe::kRelDir64 : pe::kRelHighLow;
    for (const BaseRelocation &r : file.relocations()) {
        if (r.type != wanted)
            fail("base relocation at RVA " + hex(r.rva),
                 type_text(wanted) + " to move a " + (h.pe32_plus ? "PE32+" : "PE32") +
                     " image from its preferred base " + hex(h.image_base) + " to " + hex(base),
                 type_text(r.type));
        patch(memory, r.rva, h.pe32_plus ? 8 : 4, delta);
    }
}

}  // namespace

MappedImage::MappedImage(PeFile file, uint64_t base) : file_(std::move(file)), base_(base)
{
    check_base(file_, base);
    check_size(file_);
    memory_.assign(file_.headers().size_of_image, 0);
    copy_file_data(file_, memory_);
    apply_relocations(file_, base, memory_);
}

namespace {

ByteView view_of(std::span<const uint8_t> memory)
{
    return ByteView(memory, "RVA", "the image");
}

// The tables are read a few thousand words at a time: a read inside the
// image is a plain load, and only one that is not goes through ByteView to
// be refused with its message.
template <typename T>
T read_le(const std::vector<uint8_t> &memory, uint32_t rva, const char *what)
{
    if (uint64_t{rva} + sizeof(T) > memory.size())
        view_of(memory).bytes(rva, sizeof(T), what);   // throws
    uint64_t value = 0;
    for (unsigned i = sizeof(T); i-- > 0;)
        value = value << 8 | memory[rva + i];
    return static_cast<T>(value);
}

}  // namespace

uint8_t MappedImage::u8(uint32_t rva, const char *what) const
{
    return read_le<uint8_t>(memory_, rva, what);
}

uint16_t MappedImage::u16(uint32_t rva, const char *what) const
{
    return read_le<uint16_t>(memory_, rva, what);
}

uint32_t MappedImage::u32(uint32_t rva, const char *what) const
{
    return read_le<uint32_t>(memory_, rva, what);
}

uint64_t MappedImage::u64(uint32_t rva, const char *what) const
{
    return read_le<uint64_t>(memory_, rva, what);
}

std::span<const uint8_t> MappedImage::bytes(uint32_t rva, uint32_t size, const char *what) const
{
    return view_of(memory_).bytes(rva, size, what);
}

uint32_t MappedImage::rva_of(uint64_t address, const char *what) const
{
    if (address < base_ || address - base_ >= memory_.size())
        fail(what,
             "an address inside the image (" + hex(base_) + ".." + hex(base_ + memory_.size()) +
                 ")",
             hex(address));
    return static_cast<uint32_t>(address - base_);
}

uint64_t MappedImage::export_address(const std::string &name) const
{
    for (const Export &e : file_.exports())
        if (e.name == name)
            return base_ + e.rva;
    fail("export directory", "an export named \"" + name + "\"",
         file_.exports().empty() ? std::string("no exports")
                                 : std::to_string(file_.exports().size()) + " exports without it");
}

}  // namespace wendol
