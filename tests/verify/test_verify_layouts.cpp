// test_verify_layouts.cpp - the verifier on the test layouts that use
// ligatures, chained dead keys and the Kana lock: each as built gets
// exactly the notes it should and nothing else, in every pointer form, and
// a copy damaged by hand gets the finding its damage calls for.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/typing.h"
#include "pe/sections.h"
#include "support/image_helpers.h"
#include "tables/table_extents.h"
#include "support/findings_text.h"
#include "tables/vk_names.h"
#include "verify/verify.h"

namespace wendol {
namespace {

using test::describe;
using test::put_u16;
using test::put_u32;
using test::map_bytes;
using Bytes = std::vector<uint8_t>;

// A built test layout, its tables, and the file offset of any RVA in it.
struct Layout {
    Layout(const std::string &name, const std::string &variant)
        : bytes(test::read_bytes(test::test_layout(name, variant)))
    {
    }

    Bytes bytes;
    LayoutTables tables = read_tables(test::map_bytes(bytes));

    size_t offset(uint32_t rva) const { return test::file_offset(bytes, rva); }
    uint32_t root_field(uint32_t offset_in_units_of_p, uint32_t extra) const
    {
        return tables.root_rva + offset_in_units_of_p * pointer_size(tables.form) + extra;
    }
    uint32_t target(PointerSlot slot) const { return find_pointer(tables, {slot})->target_rva; }
    // The row of a key, or one cell of it.
    Place key_place(uint8_t vk, std::optional<size_t> column = std::nullopt) const
    {
        return row_place(tables, *Keymap(LayoutTables(tables)).find_row(vk), column);
    }
    Place ligature_place(size_t i) const
    {
        const LigatureEntry &e = tables.ligatures[i];
        Place place = rva_place(e.rva, "ligature list[" + std::to_string(i) + "]");
        place.what = vk_label(e.vk) + " column " + std::to_string(e.column);
        return place;
    }
};

std::vector<Finding> verify_damaged(const Layout &layout, const std::function<void(Bytes &)> &damage)
{
    Bytes bytes = layout.bytes;
    damage(bytes);
    const PeFile file(bytes);
    put_u32(bytes, file.headers().checksum_offset, file.computed_checksum());
    return verify_bytes(bytes);
}

// What a finding must be: its severity and check, and where given its
// place, what it expected and what it found.
struct Expected {
    Severity severity;
    Check check;
    std::optional<Place> place;
    std::optional<std::string> expected = std::nullopt;
    std::optional<std::string> found = std::nullopt;

    bool matches(const Finding &f) const
    {
        return f.severity == severity && f.check == check && (!place || f.place == *place) &&
               (!expected || f.expected == *expected) && (!found || f.found == *found);
    }
};

size_t count_matching(const std::vector<Finding> &findings, const Expected &e)
{
    return std::count_if(findings.begin(), findings.end(),
                         [&](const Finding &f) { return e.matches(f); });
}

void expect_finding(const std::vector<Finding> &findings, const Expected &e)
{
    EXPECT_EQ(count_matching(findings, e), 1u)
        << to_string(e.check) << (e.place ? describe(*e.place) : "") << " "
        << e.expected.value_or("") << " once in:" << describe(findings);
}

class FeatureLayouts : public ::testing::TestWithParam<const char *> {};

TEST_P(FeatureLayouts, AsBuiltTheyGetOnlyTheirNotes)
{
    for (const char *name : {"ligature", "chained"}) {
        const auto findings = verify_file(test::test_layout(name, GetParam()));
        EXPECT_TRUE(findings.empty()) << name << ":" << describe(findings);
    }
    // The NLS export is recognised, never an unexpected one.
    const auto kana = verify_file(test::test_layout("kana", GetParam()));
    ASSERT_EQ(kana.size(), 1u) << describe(kana);
    EXPECT_TRUE((Expected{Severity::Note, Check::Exports, std::nullopt, "", "NLS tables"}
                     .matches(kana[0])) &&
                kana[0].place.field == "KbdNlsLayerDescriptor")
        << describe(kana);
}

TEST_P(FeatureLayouts, ADamagedLigatureListIsFound)
{
    const Layout l("ligature", GetParam());
    ASSERT_EQ(l.tables.ligatures.size(), 3u);
    const auto entry = [&](size_t i) { return l.offset(l.tables.ligatures[i].rva); };

    // The AltGr+F entry moved to the plain column: the cell loses it and
    // the entry serves no cell.
    const auto moved = verify_damaged(l, [&](Bytes &b) { put_u16(b, entry(1) + 2, 0); });
    expect_finding(moved, {Severity::Error, Check::Ligatures, l.key_place('F', 2),
                           "an entry for F column 2 in the ligature list", "none"});
    Place moved_entry = l.ligature_place(1);
    moved_entry.what = "F column 0";
    expect_finding(moved, {Severity::Warning, Check::Ligatures, moved_entry,
                           "a WCH_LGTR cell it serves", "none"});

    // The list ended at its first entry: two cells without theirs.
    const auto ended = verify_damaged(l, [&](Bytes &b) { b.at(entry(1)) = 0; });
    EXPECT_EQ(count_matching(ended, {Severity::Error, Check::Ligatures, std::nullopt,
                                     std::nullopt, "none"}),
              2u) << describe(ended);

    // cbLgEntry that does not match nLgMax.
    const auto size = verify_damaged(l, [&](Bytes &b) { b.at(l.offset(l.root_field(10, 5))) = 14; });
    expect_finding(size, {Severity::Error, Check::Ligatures,
                          rva_place(l.root_field(10, 5), "KBDTABLES.cbLgEntry"),
                          "12 bytes, 4 + 2 per character of nLgMax 4", "14"});

    // The same key and column twice: the second is never read.
    const auto twice = verify_damaged(l, [&](Bytes &b) {
        b.at(entry(2)) = 'J';
        put_u16(b, entry(2) + 2, 1);
    });
    Place second = l.ligature_place(2);
    second.what = "J column 1";
    expect_finding(twice, {Severity::Error, Check::Ligatures, second,
                           "each key and column once (the platform reads the first)"});
    expect_finding(twice, {Severity::Error, Check::Ligatures,
                           l.key_place(l.tables.ligatures[2].vk, l.tables.ligatures[2].column),
                           std::nullopt, "none"});

    // A character after WCH_NONE, and an entry with no character at all.
    const auto after = verify_damaged(l, [&](Bytes &b) { put_u16(b, entry(0) + 4 + 6, 'x'); });
    expect_finding(after, {Severity::Warning, Check::Ligatures, l.ligature_place(0),
                           "only WCH_NONE after the first WCH_NONE (the platform stops there)",
                           "U+0078 x in wch[3]"});
    const auto empty = verify_damaged(l, [&](Bytes &b) {
        put_u16(b, entry(0) + 4, 0xF000);
        put_u16(b, entry(0) + 6, 0xF000);
    });
    expect_finding(empty, {Severity::Warning, Check::Ligatures, l.ligature_place(0),
                           "at least one character", "none"});
}

// A ligature list that runs out of its section is a refusal, not a crash.
TEST_P(FeatureLayouts, ALigatureListPastItsSectionIsRefused)
{
    const Layout l("ligature", GetParam());
    const PeFile file(l.bytes);
    const uint32_t list = l.target(PointerSlot::Ligature);
    const Section *s = section_holding(file.sections(), list, 1);
    ASSERT_NE(s, nullptr);
    // Entries of 254 bytes from 100 bytes before the section ends.
    const uint32_t near_end = (s->virtual_address + virtual_extent(*s) - 100) & ~1u;
    const uint32_t field = find_pointer(l.tables, {PointerSlot::Ligature})->field_rva;
    const auto findings = verify_damaged(l, [&](Bytes &b) {
        b.at(l.offset(l.root_field(10, 5))) = 0xFE;
        const uint64_t address = file.headers().image_base + near_end;
        put_u32(b, l.offset(field), static_cast<uint32_t>(address));
    });
    Place place;
    place.what = "ligature list at RVA " + hex(near_end);
    expect_finding(findings, {Severity::Error, Check::Tables, place,
                              "its end record before the end of its section (RVA " +
                                  hex(s->virtual_address + virtual_extent(*s)) + ")",
                              "0 entries and no end"});
}

TEST_P(FeatureLayouts, ADeadResultWithoutCompositionsIsFound)
{
    const Layout l("chained", GetParam());
    // ´ then D leaves the breve, which composes with nothing.
    const uint32_t list = l.target(PointerSlot::DeadKey);
    const auto findings = verify_damaged(l, [&](Bytes &b) {
        put_u16(b, l.offset(list + 8 * 3 + 4), 0x02D8);
    });
    expect_finding(findings, {Severity::Warning, Check::DeadKeys,
                              rva_place(list + 8 * 3, "DEADKEY[3]"),
                              "compositions for the dead character U+02D8 \u02D8 its DKF_DEAD "
                              "result leaves pending",
                              "none"});
    EXPECT_EQ(std::count_if(findings.begin(), findings.end(),
                            [](const Finding &f) { return f.severity == Severity::Error; }),
              0) << describe(findings);
}

TEST_P(FeatureLayouts, UnmodelledBitsGetOneNoteEach)
{
    const Layout l("kana", GetParam());
    const auto &rows = l.tables.char_tables.at(0).rows;
    const uint32_t bits = l.target(PointerSlot::VkToBit);
    const auto findings = verify_damaged(l, [&](Bytes &b) {
        for (size_t r : {1, 2, 3})                              // GRPSELTAP on three rows
            b.at(l.offset(rows[r].rva + 1)) |= 0x80;
        b.at(l.offset(rows[4].rva + 1)) |= 0x40;                // an undefined attribute
        b.at(l.offset(bits + 2 * 2 + 1)) = 0x10;                // VK_MENU: KBDROYA
        const size_t flags = l.offset(l.root_field(10, 0));
        put_u16(b, flags, 0x0004 | 0x0100);                     // KLLF_LRM_RLM, undefined
    });
    expect_finding(findings, {Severity::Note, Check::Attributes, row_place(l.tables, {0, 1}), "",
                              "row attribute GRPSELTAP (0x80) on 3 rows"});
    expect_finding(findings, {Severity::Note, Check::Attributes, row_place(l.tables, {0, 4}), "",
                              "row attribute the undefined bit 0x40 on 1 row"});
    Place menu = rva_place(bits + 2 * 2, "VK_TO_BIT[2]");
    menu.what = "VK_MENU";
    expect_finding(findings, {Severity::Note, Check::Modifiers, menu, "",
                              "modifier bit KBDROYA (0x10)"});
    expect_finding(findings, {Severity::Note, Check::LocaleFlags,
                              rva_place(l.root_field(10, 0), "KBDTABLES.fLocaleFlags"), "",
                              "locale flag the undefined bit 0x0100"});
    EXPECT_EQ(std::count_if(findings.begin(), findings.end(),
                            [](const Finding &f) { return f.severity != Severity::Note; }),
              0) << describe(findings);
    // KLLF_LRM_RLM is modelled, so no note: Shift+Backspace types the marks.
    EXPECT_EQ(findings.size(), 5u) << describe(findings);   // the four and the NLS export
}

// KLLF_LRM_RLM: the left Shift key with Backspace types U+200E, the right one
// U+200F; without the flag Shift+Backspace is what the tables say.
TEST_P(FeatureLayouts, ShiftBackspaceTypesTheDirectionMarksUnderLrmRlm)
{
    const Layout l("kana", GetParam());
    Bytes bytes = l.bytes;
    put_u16(bytes, l.offset(l.root_field(10, 0)), 0x0004);
    const Keymap marked(read_tables(map_bytes(bytes)));
    const Keymap plain(read_tables(map_bytes(l.bytes)));
    const Key back = VirtualKey{kVkBack};
    const auto typed = [](const Keymap &keymap, uint8_t shift, const Key &key) {
        Typist typist(keymap);
        return delivered(typist.chord({VirtualKey{shift}, key}));
    };
    EXPECT_EQ(typed(marked, kVkLShift, back), u"\u200E");
    EXPECT_EQ(typed(marked, kVkRShift, back), u"\u200F");
    EXPECT_EQ(typed(marked, kVkLShift, VirtualKey{'A'}), typed(plain, kVkLShift, VirtualKey{'A'}));
    EXPECT_EQ(typed(plain, kVkLShift, back).find(u'\u200E'), std::u16string::npos);
}

INSTANTIATE_TEST_SUITE_P(Forms, FeatureLayouts, ::testing::Values("x86", "wow64", "x64", "arm64"));

// Our own module uses KBDKANA for AltGr, which the engine models: no note.
TEST(VerifyNotes, WendolGetsNone)
{
    const auto findings = verify_file(test::module_path());
    EXPECT_EQ(std::count_if(findings.begin(), findings.end(),
                            [](const Finding &f) { return f.severity == Severity::Note; }),
              0) << describe(findings);
}

}  // namespace
}  // namespace wendol
