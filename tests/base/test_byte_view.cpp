// test_byte_view.cpp - counted UTF-16 strings read through ByteView: every
// unit little-endian, and a count that does not fit refused before any
// memory is touched.
#include <gtest/gtest.h>

#include <vector>

#include "base/byte_view.h"
#include "base/error.h"

namespace wendol {
namespace {

const std::vector<uint8_t> kBytes = {0x41, 0x00, 0xE9, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0x7A};

std::string error_of(const ByteView &view, uint64_t offset, uint64_t units)
{
    try {
        view.utf16(offset, units, "test string");
    } catch (const Error &e) {
        return e.what();
    }
    return "";
}

TEST(ByteViewUtf16, ReadsUnitsLittleEndian)
{
    const ByteView view(kBytes, "offset", "the test bytes");
    EXPECT_EQ(view.utf16(0, 4, "s"), u"A\u00E9\U0001F600");
    EXPECT_EQ(view.utf16(2, 1, "s"), u"\u00E9");
    EXPECT_EQ(view.utf16(1, 1, "s"), std::u16string(1, char16_t{0xE900}));
    EXPECT_EQ(view.utf16(9, 0, "s"), u"");   // nothing, at the very end
}

TEST(ByteViewUtf16, RefusesWhatDoesNotFit)
{
    const ByteView view(kBytes, "offset", "the test bytes");
    // The odd last byte is half a unit.
    const std::string half = error_of(view, 8, 1);
    EXPECT_NE(half.find("test string: expected 2 bytes at offset 0x8 inside the test bytes"),
              std::string::npos) << half;
    EXPECT_NE(half.find("only 1 bytes left"), std::string::npos) << half;
    EXPECT_NE(error_of(view, 10, 0).find("that offset past the end"), std::string::npos);
    // Counts whose byte count would wrap to something small.
    for (uint64_t units : {UINT64_MAX, UINT64_MAX / 2 + 1, uint64_t{1} << 63})
        EXPECT_NE(error_of(view, 0, units), "") << units;
    EXPECT_NE(error_of(view, UINT64_MAX, 1), "");
}

}  // namespace
}  // namespace wendol
