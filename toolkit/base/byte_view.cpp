// byte_view.cpp - bounds-checked reads.
#include "base/byte_view.h"

#include "base/error.h"

namespace wendol {

ByteView::ByteView(std::span<const uint8_t> data, std::string_view space, std::string_view whole)
    : data_(data), space_(space), whole_(whole)
{
}

bool ByteView::contains(uint64_t offset, uint64_t length) const
{
    return offset <= data_.size() && length <= data_.size() - offset;
}

void ByteView::require(uint64_t offset, uint64_t length, std::string_view what) const
{
    if (contains(offset, length))
        return;
    fail(std::string(what),
         std::to_string(length) + " bytes at " + std::string(space_) + " " + hex(offset) +
             " inside " + std::string(whole_) + " (" + hex(data_.size()) + " bytes)",
         offset >= data_.size() ? "that offset past the end"
                                : "only " + std::to_string(data_.size() - offset) + " bytes left");
}

uint64_t ByteView::little_endian(uint64_t offset, unsigned width, std::string_view what) const
{
    require(offset, width, what);
    uint64_t value = 0;
    for (unsigned i = width; i-- > 0;)
        value = value << 8 | data_[offset + i];
    return value;
}

uint8_t ByteView::u8(uint64_t offset, std::string_view what) const
{
    return static_cast<uint8_t>(little_endian(offset, 1, what));
}

uint16_t ByteView::u16(uint64_t offset, std::string_view what) const
{
    return static_cast<uint16_t>(little_endian(offset, 2, what));
}

uint32_t ByteView::u32(uint64_t offset, std::string_view what) const
{
    return static_cast<uint32_t>(little_endian(offset, 4, what));
}

uint64_t ByteView::u64(uint64_t offset, std::string_view what) const
{
    return little_endian(offset, 8, what);
}

std::span<const uint8_t> ByteView::bytes(uint64_t offset, uint64_t length,
                                         std::string_view what) const
{
    require(offset, length, what);
    return data_.subspan(offset, length);
}

std::u16string ByteView::utf16(uint64_t offset, uint64_t units, std::string_view what) const
{
    constexpr uint64_t kMostUnits = UINT64_MAX / 2;   // beyond it, the byte count wraps
    if (units > kMostUnits)
        fail(std::string(what), "at most " + std::to_string(kMostUnits) + " UTF-16 code units",
             std::to_string(units));
    require(offset, units * 2, what);
    std::u16string text;
    text.reserve(units);
    for (uint64_t i = 0; i < units; ++i)
        text.push_back(static_cast<char16_t>(little_endian(offset + 2 * i, 2, what)));
    return text;
}

std::string ByteView::c_string(uint64_t offset, uint64_t max_length, std::string_view what) const
{
    std::string text;
    for (uint64_t i = 0;; ++i) {
        if (i > max_length)
            fail(std::string(what),
                 "a NUL-terminated string of at most " + std::to_string(max_length) +
                     " characters at " + std::string(space_) + " " + hex(offset),
                 "no NUL within that length");
        if (!contains(offset + i, 1))
            fail(std::string(what), "a NUL-terminated string at " + std::string(space_) + " " + hex(offset),
                 "the end of " + std::string(whole_) + " before the NUL");
        const uint8_t c = data_[offset + i];
        if (c == 0)
            return text;
        text.push_back(static_cast<char>(c));
    }
}

}  // namespace wendol
