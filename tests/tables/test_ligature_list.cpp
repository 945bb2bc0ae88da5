// test_ligature_list.cpp - the ligature list of the ligature test layout,
// read through pLigature in every pointer form, and refused clearly where
// cbLgEntry cannot hold an entry or the pointer leads nowhere an entry can
// sit.
#include <gtest/gtest.h>

#include <string>

#include "support/image_helpers.h"
#include "tables/table_extents.h"
#include "tables/tables.h"

namespace wendol {
namespace {

using Bytes = std::vector<uint8_t>;

class LigatureList : public ::testing::TestWithParam<const char *> {
protected:
    Bytes bytes() const { return test::read_bytes(test::test_layout("ligature", GetParam())); }
};

TEST_P(LigatureList, EveryEntryIsReadWithItsCharacters)
{
    const LayoutTables t = read_tables(test::map_bytes(bytes()));
    ASSERT_EQ(t.ligatures.size(), 3u);
    const PointerField *field = find_pointer(t, {PointerSlot::Ligature});
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(t.ligatures[0].rva, field->target_rva);
    for (size_t i = 0; i < t.ligatures.size(); ++i) {
        EXPECT_EQ(t.ligatures[i].rva, field->target_rva + 12 * i);
        EXPECT_EQ(t.ligatures[i].chars.size(), 4u);   // nLgMax, WCH_NONE kept
    }
    EXPECT_EQ(t.ligatures[0].chars[2], kWchNone);
    EXPECT_EQ(t.ligatures[1].vk, 'F');
    EXPECT_EQ(t.ligatures[1].column, 2);
    EXPECT_EQ(t.ligatures[2].text(), u"e.g.");
}

// Entries never read beyond cbLgEntry, whatever nLgMax says.
TEST_P(LigatureList, ARecordSizeBelowTheCharactersShortensThem)
{
    Bytes b = bytes();
    const LayoutTables t = read_tables(test::map_bytes(b));
    const uint32_t p = pointer_size(t.form);
    b.at(test::file_offset(b, t.root_rva + 10 * p + 5)) = 8;   // cbLgEntry: two characters
    const LayoutTables shorter = read_tables(test::map_bytes(b));
    ASSERT_FALSE(shorter.ligatures.empty());
    EXPECT_EQ(shorter.ligatures[0].chars.size(), 2u);
    EXPECT_EQ(shorter.ligatures[0].text(), u"IJ");
}

TEST_P(LigatureList, AnUnusableListIsRefusedClearly)
{
    const Bytes original = bytes();
    const LayoutTables t = read_tables(test::map_bytes(original));
    const uint32_t p = pointer_size(t.form);
    const PointerField *field = find_pointer(t, {PointerSlot::Ligature});
    ASSERT_NE(field, nullptr);

    Bytes small = original;
    small.at(test::file_offset(small, t.root_rva + 10 * p + 5)) = 3;
    const auto too_small = test::error_of([&] { read_tables(test::map_bytes(small)); });
    ASSERT_TRUE(too_small);
    EXPECT_NE(too_small->find("cbLgEntry"), std::string::npos) << *too_small;
    EXPECT_NE(too_small->find("at least 4 bytes"), std::string::npos) << *too_small;

    Bytes odd = original;
    const size_t at = test::file_offset(odd, field->field_rva);
    test::put_u32(odd, at, test::get_u32(odd, at) + 1);
    const auto misaligned = test::error_of([&] { read_tables(test::map_bytes(odd)); });
    ASSERT_TRUE(misaligned);
    EXPECT_NE(misaligned->find("KBDTABLES.pLigature"), std::string::npos) << *misaligned;
    EXPECT_NE(misaligned->find("aligned to 2"), std::string::npos) << *misaligned;
}

INSTANTIATE_TEST_SUITE_P(Forms, LigatureList, ::testing::Values("x86", "wow64", "x64", "arm64"));

}  // namespace
}  // namespace wendol
