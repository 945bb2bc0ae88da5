// test_verify_layouts.cpp - the verifier on the test layouts that use
// ligatures, chained dead keys and the Kana lock: each as built gets
// exactly the notes it should and nothing else, in every pointer form, and
// a copy damaged by hand gets the finding its damage calls for.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/typing.h"
#include "pe/sections.h"
#include "support/image_helpers.h"
#include "tables/table_extents.h"
#include "support/findings_text.h"
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
};

std::vector<Finding> verify_damaged(const Layout &layout, const std::function<void(Bytes &)> &damage)
{
    Bytes bytes = layout.bytes;
    damage(bytes);
    const PeFile file(bytes);
    put_u32(bytes, file.headers().checksum_offset, file.computed_checksum());
    return verify_bytes(bytes);
}

// What a finding must be: its severity and check, and words in its place
// and its text.
struct Expected {
    Severity severity;
    const char *check;
    const char *in_place;
    const char *in_text;

    bool matches(const Finding &f) const
    {
        return f.severity == severity && f.check == check &&
               f.place.find(in_place) != std::string::npos &&
               f.text.find(in_text) != std::string::npos;
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
        << e.check << " \"" << e.in_text << "\" once in:" << describe(findings);
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
    EXPECT_TRUE((Expected{Severity::Note, "exports", "KbdNlsLayerDescriptor", "models neither"}
                     .matches(kana[0])))
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
    expect_finding(moved, {Severity::Error, "ligatures", "column 2", "the key types nothing"});
    expect_finding(moved, {Severity::Warning, "ligatures", "ligature list[1], F column 0",
                           "no key reaches"});

    // The list ended at its first entry: two cells without theirs.
    const auto ended = verify_damaged(l, [&](Bytes &b) { b.at(entry(1)) = 0; });
    EXPECT_EQ(count_matching(ended, {Severity::Error, "ligatures", "", "the key types nothing"}),
              2u) << describe(ended);

    // cbLgEntry that does not match nLgMax.
    const auto size = verify_damaged(l, [&](Bytes &b) { b.at(l.offset(l.root_field(10, 5))) = 14; });
    expect_finding(size, {Severity::Error, "ligatures", "KBDTABLES.cbLgEntry", "12 bytes"});

    // The same key and column twice: the second is never read.
    const auto twice = verify_damaged(l, [&](Bytes &b) {
        b.at(entry(2)) = 'J';
        put_u16(b, entry(2) + 2, 1);
    });
    expect_finding(twice, {Severity::Error, "ligatures", "ligature list[2]", "never read"});
    expect_finding(twice, {Severity::Error, "ligatures", "column 3", "the key types nothing"});

    // A character after WCH_NONE, and an entry with no character at all.
    const auto after = verify_damaged(l, [&](Bytes &b) { put_u16(b, entry(0) + 4 + 6, 'x'); });
    expect_finding(after, {Severity::Warning, "ligatures", "ligature list[0]", "wch[3]"});
    const auto empty = verify_damaged(l, [&](Bytes &b) {
        put_u16(b, entry(0) + 4, 0xF000);
        put_u16(b, entry(0) + 6, 0xF000);
    });
    expect_finding(empty, {Severity::Warning, "ligatures", "ligature list[0]",
                           "at least one character"});
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
    expect_finding(findings, {Severity::Error, "tables", "ligature list", "end record"});
}

TEST_P(FeatureLayouts, ADeadResultWithoutCompositionsIsFound)
{
    const Layout l("chained", GetParam());
    // ´ then D leaves the breve, which composes with nothing.
    const uint32_t list = l.target(PointerSlot::DeadKey);
    const auto findings = verify_damaged(l, [&](Bytes &b) {
        put_u16(b, l.offset(list + 8 * 3 + 4), 0x02D8);
    });
    expect_finding(findings, {Severity::Warning, "dead keys", "DEADKEY[3]",
                              "only comes out as itself"});
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
    expect_finding(findings, {Severity::Note, "attributes", "table 1 row 1", "GRPSELTAP (0x80) on 3 rows"});
    expect_finding(findings, {Severity::Note, "attributes", "table 1 row 4", "undefined bit 0x40"});
    expect_finding(findings, {Severity::Note, "modifiers", "VK_MENU", "KBDROYA (0x10)"});
    expect_finding(findings, {Severity::Note, "locale flags", "fLocaleFlags", "undefined bit 0x0100"});
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
