// byte_view.h - bounds-checked little-endian reads over a block of bytes.
// Every read names what it was reading; a read that would leave the block
// throws Error instead of touching memory it does not own.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace wendol {

class ByteView {
public:
    // `space` names the offsets in messages: "file offset", "RVA".
    // `whole` names the block: "the file", "the image".  Both are viewed,
    // not copied (a view is made for every read of a mapped image), so the
    // names must outlive the view: literals, or strings of the caller's.
    ByteView(std::span<const uint8_t> data, std::string_view space, std::string_view whole);

    uint64_t size() const { return data_.size(); }
    bool contains(uint64_t offset, uint64_t length) const;

    uint8_t u8(uint64_t offset, std::string_view what) const;
    uint16_t u16(uint64_t offset, std::string_view what) const;
    uint32_t u32(uint64_t offset, std::string_view what) const;
    uint64_t u64(uint64_t offset, std::string_view what) const;
    std::span<const uint8_t> bytes(uint64_t offset, uint64_t length, std::string_view what) const;

    // `units` UTF-16 code units, little-endian, as a counted string stores
    // them (no NUL is looked for).
    std::u16string utf16(uint64_t offset, uint64_t units, std::string_view what) const;

    // A NUL-terminated 8-bit string of at most `max_length` characters.
    std::string c_string(uint64_t offset, uint64_t max_length, std::string_view what) const;

private:
    void require(uint64_t offset, uint64_t length, std::string_view what) const;
    uint64_t little_endian(uint64_t offset, unsigned width, std::string_view what) const;

    std::span<const uint8_t> data_;
    std::string_view space_;
    std::string_view whole_;
};

}  // namespace wendol
