// string_block.cpp - RT_STRING blocks: sixteen strings back to back, each a
// 16-bit length in code units followed by that many UTF-16 code units, no NUL.
#include "base/byte_view.h"
#include "base/error.h"
#include "resources/resources.h"

namespace wendol {

StringBlock parse_string_block(std::span<const uint8_t> data, uint16_t block, uint16_t language)
{
    const std::string where = "string block " + std::to_string(block);
    if (block == 0)
        fail(where, "a block number from 1 (block b holds IDs 16(b-1) to 16(b-1)+15)", "0");
    const ByteView bytes(data, "offset", where);
    StringBlock result;
    result.block = block;
    result.language = language;
    uint64_t at = 0;
    for (size_t i = 0; i < result.strings.size(); ++i) {
        const std::string what = where + ", string " + std::to_string(result.first_id() + i);
        const uint16_t length = bytes.u16(at, what + " length");
        result.strings[i] = bytes.utf16(at + 2, length, what);
        at += 2 + uint64_t{length} * 2;
    }
    result.used_bytes = static_cast<uint32_t>(at);
    result.data_size = static_cast<uint32_t>(data.size());
    return result;
}

}  // namespace wendol
