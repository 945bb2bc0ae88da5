// test_mapping.cpp - the loader patches nothing at the preferred base, so a
// relocation it cannot apply is refused only where it would have to apply it.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "pe/pe_format.h"
#include "support/image_helpers.h"

namespace wendol {
namespace {

using Bytes = std::vector<uint8_t>;

// A base the loader might choose instead of the preferred one.
uint64_t other_base(const PeFile &file)
{
    return file.headers().pe32_plus ? 0x00007FF612340000u : 0x7FFE0000u;
}

uint64_t address_at(const MappedImage &image, uint32_t rva)
{
    return image.file().headers().pe32_plus ? image.u64(rva, "relocated address")
                                            : image.u32(rva, "relocated address");
}

// A relocation of a type the image cannot use is harmless where nothing is
// patched; where the base moves it would leave an address wrong, so the
// mapping is refused and says which relocation, what type it has and what
// the move needed.
TEST(Mapping, AWrongRelocationTypeIsRefusedOnlyWhereTheBaseMoves)
{
    struct Case {
        const char *target;   // the sibling module, or null for the main one
        uint16_t type;
        const char *wanted;
        const char *found;
    };
    const Case cases[] = {
        {"x64", pe::kRelHighLow, "type 10 (DIR64) to move a PE32+ image", "found type 3 (HIGHLOW)"},
        {"arm64", 7, "type 10 (DIR64) to move a PE32+ image", "found type 7"},
        {nullptr, pe::kRelDir64, "type 3 (HIGHLOW) to move a PE32 image", "found type 10 (DIR64)"},
    };
    for (const Case &c : cases) {
        const std::string path = c.target ? test::sibling_module(c.target) : test::module_path();
        SCOPED_TRACE(path);
        const Bytes whole = test::read_bytes(path);
        const PeFile file(whole);
        const uint32_t rva = file.relocations().front().rva;
        const size_t entry = test::relocation_entry(whole, rva);
        Bytes bytes = whole;
        test::put_u16(bytes, entry, static_cast<uint16_t>(c.type << 12 | (rva & 0xFFF)));

        const auto at_preferred = test::error_of([&] {
            const MappedImage image = test::map_bytes(bytes);
            EXPECT_EQ(address_at(image, rva), address_at(test::map_bytes(whole), rva));
        });
        EXPECT_FALSE(at_preferred.has_value()) << at_preferred.value_or("");

        const uint64_t base = other_base(file);
        const auto refusal = test::error_of([&] { test::map_bytes(bytes, base); });
        ASSERT_TRUE(refusal.has_value()) << "mapped at " << hex(base);
        for (const std::string &part :
             {"base relocation at RVA " + hex(rva) + ": expected " + std::string(c.wanted),
              "from its preferred base " + hex(file.headers().image_base) + " to " + hex(base),
              std::string(c.found)})
            EXPECT_NE(refusal->find(part), std::string::npos) << "no \"" << part << "\" in "
                                                              << *refusal;
    }
}

}  // namespace
}  // namespace wendol
