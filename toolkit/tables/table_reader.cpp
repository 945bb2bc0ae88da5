// table_reader.cpp - far pointers, lists and strings, checked.
#include "table_reader.h"

#include <algorithm>

#include "base/error.h"
#include "pe/sections.h"

namespace wendol {

namespace {

// The largest table of a layout has a few hundred records.
constexpr uint32_t kMaxListEntries = 0x10000;
constexpr uint32_t kMaxStringUnits = 1024;

// Lists and strings may be shared: two pointers may lead to one list.  A
// layout reads each byte of its tables about once; a hostile image whose
// thousands of pointers lead to one long list would make the reader copy
// it thousands of times.  All lists and strings read from one image may
// take at most twice its mapped size plus this allowance, and never more
// than the most any layout needs (our module's tables take 7 KiB).
constexpr uint64_t kReadAllowance = 0x10000;
constexpr uint64_t kMaxRead = 0x400000;

}  // namespace

TableReader::TableReader(const MappedImage &image, PointerForm form,
                         std::vector<PointerField> &pointers)
    : image_(image), form_(form), pointers_(pointers),
      read_limit_(std::min(2 * uint64_t{image.memory().size()} + kReadAllowance, kMaxRead))
{
}

PointerField TableReader::field(uint32_t field_rva, PointerId id, uint32_t target_alignment)
{
    const std::string what = label(id);
    const uint32_t size = pointer_size();
    if (field_rva % size != 0)
        fail(what, "a field aligned to " + std::to_string(size) + " bytes",
             "one at RVA " + hex(field_rva));
    PointerField field{.id = id, .field_rva = field_rva};
    if (form_ == PointerForm::Native32) {
        field.value = image_.u32(field_rva, what.c_str());
    } else {
        field.value = image_.u64(field_rva, what.c_str());
        if (form_ == PointerForm::Wow64 && field.value >> 32 != 0)
            fail(what + " at RVA " + hex(field_rva), "a zero high half",
                 hex(field.value >> 32, 8));
    }
    if (field.value != 0) {
        const uint64_t base = image_.base();
        const uint64_t end = base + image_.memory().size();
        if (field.value < base || field.value >= end ||
            !section_holding(image_.file().sections(), static_cast<uint32_t>(field.value - base),
                             1))
            fail(what + " at RVA " + hex(field_rva),
                 "an address inside a section of the image (" + hex(base) + ".." + hex(end) + ")",
                 hex(field.value));
        field.target_rva = static_cast<uint32_t>(field.value - base);
        if (field.target_rva % target_alignment != 0)
            fail(what + " at RVA " + hex(field_rva),
                 "a target aligned to " + std::to_string(target_alignment) + " bytes",
                 hex(field.value));
    }
    pointers_.push_back(field);
    return field;
}

std::optional<uint32_t> TableReader::pointer(uint32_t field_rva, PointerId id,
                                             uint32_t target_alignment)
{
    const PointerField read = field(field_rva, id, target_alignment);
    if (read.value == 0)
        return std::nullopt;
    return read.target_rva;
}

uint32_t TableReader::section_end(uint32_t rva, const std::string &what) const
{
    const Section *s = section_holding(image_.file().sections(), rva, 1);
    if (!s)
        fail(what, "RVA " + hex(rva) + " inside a section", "it outside every section");
    return s->virtual_address + virtual_extent(*s);
}

uint32_t TableReader::walk(uint32_t start, uint32_t entry_size, const std::string &what,
                           const std::function<bool(uint32_t, uint32_t)> &visit,
                           const char *terminator) const
{
    const uint32_t end = section_end(start, what);
    for (uint32_t i = 0; i < kMaxListEntries; ++i) {
        const uint64_t at = uint64_t{start} + uint64_t{i} * entry_size;
        if (at + entry_size > end)
            fail(what + " at RVA " + hex(start),
                 std::string(terminator) + " before the end of its section (RVA " + hex(end) + ")",
                 std::to_string(i) + " entries and no end");
        read_ += entry_size;
        if (read_ > read_limit_)
            fail(what + " at RVA " + hex(start),
                 "tables of at most " + hex(read_limit_) +
                     " bytes in all (twice the image's size plus " + hex(kReadAllowance) +
                     ", at most " + hex(kMaxRead) + ")",
                 "more, entry " + std::to_string(i) +
                     " of this list passing it: lists or strings read again and again "
                     "through many pointers");
        if (!visit(static_cast<uint32_t>(at), i))
            return i;
    }
    fail(what + " at RVA " + hex(start),
         std::string(terminator) + " within " + std::to_string(kMaxListEntries) + " entries",
         "none");
}

std::u16string TableReader::string(uint32_t rva, const std::string &what) const
{
    std::u16string text;
    walk(rva, 2, what, [&](uint32_t at, uint32_t index) {
        if (index >= kMaxStringUnits)
            fail(what + " at RVA " + hex(rva),
                 "a string of at most " + std::to_string(kMaxStringUnits) + " UTF-16 units",
                 "no NUL among them");
        const uint16_t unit = image_.u16(at, what.c_str());
        if (unit == 0)
            return false;
        text.push_back(static_cast<char16_t>(unit));
        return true;
    }, "its NUL");
    return text;
}

}  // namespace wendol
