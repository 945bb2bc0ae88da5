// test_bounded.cpp - what a hostile file can make the mapper spend: a file
// of a kilobyte that declares the largest image and sections the headers
// allow is refused before anything is reserved; one at the bound is mapped.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "base/error.h"
#include "pe/image.h"
#include "pe/pe_format.h"
#include "support/image_helpers.h"

namespace wendol {
namespace {

using Bytes = std::vector<uint8_t>;
using test::put_u16;
using test::put_u32;

constexpr uint32_t kFileSize = 0x400;
constexpr uint32_t kNt = 0x40;
constexpr uint32_t kFile = kNt + pe::kPeSignatureSize;
constexpr uint32_t kOptional = kFile + pe::kFileHeaderSize;
constexpr uint32_t kAlignment = 0x1000;

// A PE32 DLL of one kilobyte: the headers, then `sections` sections of
// `virtual_size` bytes each (none of them backed by the file), the whole
// declared as `image_size` bytes.
Bytes tiny_image(uint32_t image_size, uint16_t sections, uint32_t virtual_size)
{
    Bytes b(kFileSize, 0);
    put_u16(b, 0, pe::kDosSignature);
    put_u32(b, pe::kDosNtOffsetField, kNt);
    put_u32(b, kNt, pe::kPeSignature);
    put_u16(b, kFile + pe::kFileMachine, pe::kMachineI386);
    put_u16(b, kFile + pe::kFileNumberOfSections, sections);
    const uint16_t optional_size = pe::kOptionalFixedPe32 + pe::kDataDirectoryEntrySize * pe::kMaxDirectories;
    put_u16(b, kFile + pe::kFileSizeOfOptionalHeader, optional_size);
    put_u16(b, kFile + pe::kFileCharacteristics, pe::kFileDll);
    put_u16(b, kOptional + pe::kOptMagic, pe::kMagicPe32);
    put_u32(b, kOptional + pe::kOptImageBasePe32, 0x10000000);
    put_u32(b, kOptional + pe::kOptSectionAlignment, kAlignment);
    put_u32(b, kOptional + pe::kOptFileAlignment, 0x200);
    put_u32(b, kOptional + pe::kOptSizeOfImage, image_size);
    put_u32(b, kOptional + pe::kOptSizeOfHeaders, kFileSize);
    put_u32(b, kOptional + pe::kOptionalFixedPe32 - pe::kOptNumberOfRvaAndSizesBack,
            pe::kMaxDirectories);
    const uint32_t table = kOptional + optional_size;
    for (uint16_t i = 0; i < sections; ++i) {
        const uint32_t at = table + pe::kSectionHeaderSize * i;
        b.at(at) = '.';
        b.at(at + 1) = static_cast<uint8_t>('a' + i % 26);
        put_u32(b, at + pe::kSectionVirtualSize, virtual_size);
        put_u32(b, at + pe::kSectionVirtualAddress, kAlignment + i * virtual_size);
        put_u32(b, at + pe::kSectionCharacteristics,
                pe::kScnCntUninitializedData | pe::kScnMemRead);
    }
    return b;
}

std::string refusal(Bytes bytes)
{
    try {
        test::map_bytes(std::move(bytes));
    } catch (const Error &e) {
        return e.what();
    }
    return "";
}

// The largest image the headers may declare, in one section or in as many
// as fit in the kilobyte: the file reads, the mapping is refused and says
// what it would have cost and what it may, and refusing takes no time.
TEST(BoundedMapping, ATinyFileDeclaringAHugeImageIsRefused)
{
    const uint32_t huge = pe::kMaxImageSize;
    const struct {
        uint16_t sections;
        uint32_t virtual_size;
    } cases[] = {{1, huge - kAlignment}, {16, (huge - kAlignment) / 16 / kAlignment * kAlignment}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.sections) + " sections");
        const Bytes bytes = tiny_image(huge, c.sections, c.virtual_size);
        ASSERT_NO_THROW(PeFile{bytes});
        const auto start = std::chrono::steady_clock::now();
        const std::string message = refusal(bytes);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
        EXPECT_NE(message.find("SizeOfImage"), std::string::npos) << message;
        EXPECT_NE(message.find("at most the file's 0x400 bytes plus 0x100000"), std::string::npos)
            << message;
        EXPECT_NE(message.find(hex(huge)), std::string::npos) << message;
    }
}

// Up to the allowance the image is mapped, its unbacked bytes zero; a page
// past it is refused.
TEST(BoundedMapping, TheAllowanceIsExact)
{
    const uint32_t at_bound = kFileSize + pe::kMaxUnbackedImage;   // 0x100400
    const uint32_t section = (at_bound - kAlignment) / kAlignment * kAlignment;
    const MappedImage image = test::map_bytes(tiny_image(at_bound, 1, section));
    EXPECT_EQ(image.memory().size(), at_bound);
    EXPECT_EQ(image.u32(kAlignment + section - 4, "the section's last word"), 0u);

    const std::string message = refusal(tiny_image(at_bound + kAlignment, 1, section));
    EXPECT_NE(message.find("found " + hex(at_bound + kAlignment)), std::string::npos) << message;
}

// The modules the build makes are mapped as before: their images outgrow
// their files by alignment padding only.
TEST(BoundedMapping, TheBuiltModulesAreWithinIt)
{
    for (const std::string variant : {"x86", "x64", "arm64"}) {
        const Bytes bytes = test::read_bytes(test::sibling_module(variant));
        EXPECT_NO_THROW(test::map_bytes(bytes)) << variant;
    }
    EXPECT_NO_THROW(test::map_module());
}

}  // namespace
}  // namespace wendol
