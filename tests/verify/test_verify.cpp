// test_verify.cpp - the verifier passes every built module and finds each
// fault planted in a copy of one, at its place; an image it cannot read is
// one finding, never a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <set>

#include "base/text.h"
#include "engine/key_parse.h"
#include "engine/keyboard_sweep.h"
#include "engine/typing.h"
#include "pe/pe_format.h"
#include "support/cli_run.h"
#include "support/image_helpers.h"
#include "support/large_images.h"
#include "tables/descriptor_call.h"
#include "tables/table_extents.h"
#include "support/findings_text.h"
#include "verify/verify.h"

namespace wendol {
namespace {

using test::get_u32;
using test::describe;
using test::put_u16;
using test::put_u32;
using Bytes = std::vector<uint8_t>;

// The keypad's Shift column (Ⅰ … Ⅹ on the digit keys) is in the tables,
// but no key state types it: the one warning on our module.
bool is_keypad_shift_warning(const Finding &f)
{
    return f.severity == Severity::Warning && f.check == Check::Reach &&
           f.place.what == "the keypad's digit keys" && f.place.tables.size() == 1 &&
           f.place.tables[0].columns == std::vector<size_t>{1} &&
           f.expected.find("U+2166 \u2166") != std::string::npos && f.found == "none";
}

// The Ctrl and AltGr columns of the Caps Lock rows (the fractions, ˜, ᵢ, ΅,
// ‥) are in the tables too, but with Ctrl or AltGr the platform reads the
// keys' own rows: the other warning.
bool is_caps_altgr_warning(const Finding &f)
{
    const auto columns = [&](size_t i) {
        return i < f.place.tables.size() ? f.place.tables[i].columns : std::vector<size_t>{};
    };
    return f.severity == Severity::Warning && f.check == Check::Reach &&
           f.place.what == "the Caps Lock rows of the SGCAPS keys" &&
           f.place.tables.size() == 2 && columns(0) == std::vector<size_t>{2, 3, 4} &&
           columns(1) == std::vector<size_t>{2, 3} &&
           f.expected.find("U+215F \u215F") != std::string::npos &&
           f.expected.find("U+2025 \u2025") != std::string::npos && f.found == "none";
}

TEST(Verify, EveryBuiltModulePassesWithTheKeypadAndCapsLockAltGrColumnsItsOnlyWarnings)
{
    std::vector<std::string> modules = {test::module_path()};
    for (const char *target : {"x86", "x64", "arm64"})
        modules.push_back(test::sibling_module(target));
    for (const std::string &path : modules) {
        const auto findings = verify_file(path);
        ASSERT_EQ(findings.size(), 2u) << path << ":" << describe(findings);
        EXPECT_TRUE(is_keypad_shift_warning(findings[0])) << path << ":" << describe(findings);
        EXPECT_TRUE(is_caps_altgr_warning(findings[1])) << path << ":" << describe(findings);
    }
}

// Where things are in a built module, to plant a fault at.
struct Module {
    explicit Module(const std::string &path = test::module_path())
        : bytes(test::read_bytes(path))
    {
    }

    Bytes bytes;
    PeFile file{bytes};
    LayoutTables tables = read_tables(test::map_bytes(bytes));
    DescriptorCall call = call_descriptor(test::map_bytes(bytes));

    size_t offset(uint32_t rva) const { return test::file_offset(bytes, rva); }

    const PointerField &pointer(PointerSlot slot) const
    {
        if (const PointerField *field = find_pointer(tables, {slot}))
            return *field;
        throw std::runtime_error("no pointer " + label({slot}));
    }

    size_t section_header(const std::string &name) const
    {
        for (const Section &s : file.sections())
            if (s.name == name)
                return s.header_offset;
        throw std::runtime_error("no section " + name);
    }

    // The file offset of the base relocation entry that patches `rva`.
    size_t relocation_entry(uint32_t rva) const { return test::relocation_entry(bytes, rva); }

    // The file offset of data directory `index` (RVA, then size).
    size_t directory(unsigned index) const
    {
        const uint32_t fixed =
            file.headers().pe32_plus ? pe::kOptionalFixedPe32Plus : pe::kOptionalFixedPe32;
        return file.headers().optional_header_offset + fixed +
               pe::kDataDirectoryEntrySize * index;
    }

    // The accessor's body replaced by mov eax, imm32; ret, returning what it
    // did in EAX alone.  The immediate sits where the body's first address
    // constant did, so that its relocation still patches it.
    void return_in_eax_alone(Bytes &b) const
    {
        if (call.constants.empty() || call.constants.front().rva != call.body_rva + 1)
            throw std::runtime_error("the accessor does not begin with a move of its address");
        const size_t body = offset(call.body_rva);
        b.at(body) = 0xB8;   // mov eax, imm32
        put_u32(b, body + 1, static_cast<uint32_t>(call.value));
        b.at(body + 5) = 0xC3;   // ret
    }

    // The right Alt key sends VK_RMENU, not VK_ALTGR: the AltGr levels gone.
    void remove_altgr(Bytes &b) const
    {
        const uint32_t e0 = pointer(PointerSlot::VscToVkE0).target_rva;
        for (uint32_t at = e0; get_u32(b, offset(at)) != 0; at += 4)
            if (get_u32(b, offset(at)) == 0x01E80038)   // E0 38: VK_ALTGR | KBDEXT
                put_u32(b, offset(at), 0x01A50038);     // VK_RMENU | KBDEXT
    }
};

// A copy of the bytes in a file of the test's own, for the program to read.
std::string write_temporary(const std::string &name, const Bytes &bytes)
{
    const std::string path = testing::TempDir() + name;
    test::write_bytes(path, bytes);
    return path;
}

void fix_checksum(Bytes &bytes)
{
    const PeFile file(bytes);
    put_u32(bytes, file.headers().checksum_offset, file.computed_checksum());
}

// A dead cell and the cell of its dead-character row, in the main module.
struct DeadCell {
    RowRef row;
    size_t column = 0;
    uint32_t dead_character_rva = 0;
};

DeadCell first_dead_cell(const LayoutTables &tables)
{
    for (size_t t = 0; t < tables.char_tables.size(); ++t) {
        const auto &rows = tables.char_tables[t].rows;
        for (size_t r = 0; r + 1 < rows.size(); ++r)
            for (size_t c = 0; c < rows[r].cells.size(); ++c)
                if (rows[r].vk != kContinuationVk && rows[r].cells[c] == kWchDead)
                    return {{t, r}, c, static_cast<uint32_t>(rows[r + 1].rva + 2 + 2 * c)};
    }
    throw std::runtime_error("no dead cell in the tables");
}

// The first key row of the main module that `wanted` picks, with the rows
// below it.
RowRef first_key_row(const LayoutTables &tables,
                     const std::function<bool(const std::vector<CharRow> &, size_t)> &wanted)
{
    for (size_t t = 0; t < tables.char_tables.size(); ++t) {
        const auto &rows = tables.char_tables[t].rows;
        for (size_t r = 0; r < rows.size(); ++r)
            if (rows[r].vk != kContinuationVk && wanted(rows, r))
                return {t, r};
    }
    throw std::runtime_error("no such key row in the tables");
}

bool has_dead(const CharRow &row)
{
    return std::find(row.cells.begin(), row.cells.end(), kWchDead) != row.cells.end();
}

// An SGCAPS key whose Caps Lock row follows it.
RowRef first_sgcaps_row(const LayoutTables &tables)
{
    return first_key_row(tables, [](const auto &rows, size_t r) {
        return (rows[r].attributes & kSgCaps) && r + 1 < rows.size() &&
               rows[r + 1].vk == kContinuationVk;
    });
}

// A key without SGCAPS whose dead-character row follows it.
RowRef first_dead_key_row(const LayoutTables &tables)
{
    return first_key_row(tables, [](const auto &rows, size_t r) {
        return !(rows[r].attributes & kSgCaps) && has_dead(rows[r]) && r + 1 < rows.size() &&
               rows[r + 1].vk == kContinuationVk;
    });
}

using PlaceTest = std::function<bool(const Place &)>;

PlaceTest is(const Place &place)
{
    return [place](const Place &p) { return p == place; };
}

// Any cell of the row.
PlaceTest in_row(RowRef ref)
{
    return [ref](const Place &p) {
        return p.tables.size() == 1 && p.tables[0].table == ref.table && p.tables[0].row == ref.row;
    };
}

struct Planted {
    const char *fault;
    std::function<void(Bytes &, const Module &)> plant;
    Severity severity;
    Check check;
    PlaceTest at;
    std::optional<std::string> expected;   // what the finding says the rule asks for
};

// Plants the fault in a copy of the module (its checksum made right again)
// and looks for the finding the case names.
void expect_found(const Module &m, const Planted &c)
{
    SCOPED_TRACE(c.fault);
    Bytes bytes = m.bytes;
    c.plant(bytes, m);
    fix_checksum(bytes);
    const auto findings = verify_bytes(bytes);
    const bool found = std::any_of(findings.begin(), findings.end(), [&](const Finding &f) {
        return f.severity == c.severity && f.check == c.check && c.at(f.place) &&
               (!c.expected || f.expected == *c.expected);
    });
    EXPECT_TRUE(found) << "findings:" << describe(findings);
}

TEST(Verify, FindsEveryPlantedFaultAtItsPlace)
{
    const Module m;
    const PointerField &e0 = m.pointer(PointerSlot::VscToVkE0);
    const PointerField &e1 = m.pointer(PointerSlot::VscToVkE1);
    const uint32_t e0_end = e0.target_rva + 4 * static_cast<uint32_t>(m.tables.scan_map_e0.size());
    // The E0 map's end record, lost, lets it run into the E1 map behind it.
    ASSERT_EQ(e0_end + 4, e1.target_rva);
    const PointerField &ligature = m.pointer(PointerSlot::Ligature);
    const PointerField &modifiers = m.pointer(PointerSlot::CharModifiers);
    ASSERT_EQ(ligature.field_rva & ~0xFFFu, modifiers.field_rva & ~0xFFFu);
    const DeadCell dead = first_dead_cell(m.tables);
    const uint32_t compositions = m.pointer(PointerSlot::DeadKey).target_rva;
    const Headers &h = m.file.headers();
    // An SGCAPS key whose Caps Lock row follows it, and a key without SGCAPS
    // whose dead-character row follows it.
    const RowRef sgcaps = first_sgcaps_row(m.tables);
    const RowRef dead_key = first_dead_key_row(m.tables);
    // A continuation row given a virtual key no other row has.
    const auto make_key_row = [&](Bytes &b, RowRef ref) {
        b.at(m.offset(m.tables.char_tables[ref.table].rows[ref.row + 1].rva)) = 0x88;
    };

    const Planted cases[] = {
        {"a missing end record",
         [&](Bytes &b, const Module &) { put_u32(b, m.offset(e0_end), 0x01FF007F); },
         Severity::Error, Check::Overlaps,
         [&](const Place &p) { return p.field == "pVSCtoVK_E0" && p.rva == e0.target_rva; },
         "its end record before the next table"},
        {"a pointer outside the image",
         [&](Bytes &b, const Module &) {
             put_u32(b, m.offset(m.pointer(PointerSlot::DeadKey).field_rva),
                     static_cast<uint32_t>(h.image_base + h.size_of_image + 0x100));
         },
         Severity::Error, Check::Tables,
         [&](const Place &p) {
             return p.what == label({PointerSlot::DeadKey}) + " at RVA " +
                                  hex(m.pointer(PointerSlot::DeadKey).field_rva);
         },
         std::nullopt},
        {"a relocated null pointer",
         [&](Bytes &b, const Module &) {
             const size_t entry = m.relocation_entry(modifiers.field_rva);
             put_u16(b, entry, static_cast<uint16_t>(0x3000 | (ligature.field_rva & 0xFFF)));
         },
         Severity::Error, Check::Relocations, is(rva_place(ligature.field_rva, ligature.label())),
         "no relocation on a null pointer (relocated, it is no longer null)"},
        {"a dead cell without a dead character",
         [&](Bytes &b, const Module &) { put_u16(b, m.offset(dead.dead_character_rva), kWchNone); },
         Severity::Error, Check::DeadKeys, is(row_place(m.tables, dead.row, dead.column)),
         "a dead character in the same column of " +
             row_text(m.tables, {dead.row.table, dead.row.row + 1})},
        {"an SGCAPS row without its Caps Lock row",
         [&](Bytes &b, const Module &) { make_key_row(b, sgcaps); },
         Severity::Error, Check::Rows, is(row_place(m.tables, sgcaps)),
         "a Caps Lock row (0xFF) under an SGCAPS row"},
        {"dead cells without their dead-character row",
         [&](Bytes &b, const Module &) { make_key_row(b, dead_key); },
         Severity::Error, Check::DeadKeys, in_row(dead_key),
         "a dead-character row (0xFF) under the row"},
        {"a composition pair twice",
         [&](Bytes &b, const Module &) {
             put_u32(b, m.offset(compositions + 8), get_u32(b, m.offset(compositions)));
         },
         Severity::Warning, Check::Compositions, is(rva_place(compositions + 8, "DEADKEY[1]")),
         "each pair (dead character, base) once"},
        {"a scan code twice in the E0 map",
         [&](Bytes &b, const Module &) {
             put_u32(b, m.offset(e0.target_rva + 4), get_u32(b, m.offset(e0.target_rva)));
         },
         Severity::Warning, Check::Order, is(rva_place(e0.target_rva + 4, "pVSCtoVK_E0[1]")),
         "each scan code once (the platform reads the first)"},
        {"a writable .data section",
         [&](Bytes &b, const Module &) {
             const size_t flags = m.section_header(".data") + pe::kSectionCharacteristics;
             put_u32(b, flags, get_u32(b, flags) | pe::kScnMemWrite);
         },
         Severity::Warning, Check::Sections,
         [](const Place &p) { return p.field == "section .data"; }, std::nullopt},

        {"the AltGr key gone from the E0 map",
         [&](Bytes &b, const Module &) { m.remove_altgr(b); },
         Severity::Error, Check::Reach,
         [](const Place &p) { return p.character == U'\u00DF' && p.what == "typed by VK_ALTGR+b"; },
         "a way to type it from the reverse lookup"},
        {"an import descriptor (the root record's bytes)",
         [&](Bytes &b, const Module &) {
             put_u32(b, m.directory(pe::kDirImport), m.tables.root_rva);
             put_u32(b, m.directory(pe::kDirImport) + pe::kDataDirectorySizeField,
                     2 * pe::kImportDescriptorSize);
         },
         Severity::Error, Check::Image, is(named("import directory")), "no imports"},
        {"a key name at an odd address",
         [&](Bytes &b, const Module &) {
             const size_t field = m.offset(m.pointer(PointerSlot::KeyNames).target_rva +
                                           pointer_size(m.tables.form));
             put_u32(b, field, get_u32(b, field) + 1);
         },
         Severity::Warning, Check::KeyNames,
         is(rva_place(m.pointer(PointerSlot::KeyNames).target_rva + pointer_size(m.tables.form),
                      label({PointerSlot::KeyName, 0}))),
         "a name aligned to 2 bytes, as UTF-16 units are"},
        {"the accessor leaving EDX as the caller left it, with 64-bit fields",
         [&](Bytes &b, const Module &) { m.return_in_eax_alone(b); },
         Severity::Error, Check::Accessor,
         is(rva_place(m.call.body_rva, "KbdLayerDescriptor body")), std::nullopt},
    };
    for (const Planted &c : cases)
        expect_found(m, c);
}

// Each pointer form relocates in its own way.
TEST(Verify, FindsRelocationFaultsOfEveryPointerForm)
{
    struct Variant {
        const char *target;   // the sibling module, or null for the main one
        Planted fault;
    };
    const Variant variants[] = {
        {nullptr,
         {"a relocation on a pointer's high half",
          [](Bytes &b, const Module &m) {
              const uint32_t field = m.pointer(PointerSlot::DeadKey).field_rva;
              const size_t entry = m.relocation_entry(field);
              put_u16(b, entry, static_cast<uint16_t>(0x3000 | ((field + 4) & 0xFFF)));
          },
          Severity::Error, Check::Relocations,
          [](const Place &p) { return p.field == label({PointerSlot::DeadKey}) + ", byte 4"; },
          "a relocation on the pointer's low half only"}},
        {nullptr,
         // The root's first word pair, where 32-bit pointers would sit side
         // by side: still judged as a high half, not as another form.
         {"a relocation on the root's first high half",
          [](Bytes &b, const Module &m) {
              const uint32_t field = m.pointer(PointerSlot::CharModifiers).field_rva;
              const size_t entry = m.relocation_entry(field);
              put_u16(b, entry, static_cast<uint16_t>(0x3000 | ((field + 4) & 0xFFF)));
          },
          Severity::Error, Check::Relocations,
          [](const Place &p) {
              return p.field == label({PointerSlot::CharModifiers}) + ", byte 4";
          },
          "a relocation on the pointer's low half only"}},
        {"x86",
         {"the accessor's address constant not relocated",
          [](Bytes &b, const Module &m) { put_u16(b, m.relocation_entry(m.call.constant_rva), 0); },
          Severity::Error, Check::Relocations,
          [](const Place &p) { return p.field == "KbdLayerDescriptor body"; },
          "a base relocation on the root record's address"}},
        {"x64",
         {"a 32-bit relocation in a 64-bit image",
          [](Bytes &b, const Module &m) {
              const uint32_t field = m.pointer(PointerSlot::DeadKey).field_rva;
              const size_t entry = m.relocation_entry(field);
              put_u16(b, entry, static_cast<uint16_t>(0x3000 | (field & 0xFFF)));
          },
          Severity::Error, Check::Relocations,
          [](const Place &p) { return p.field == "base relocation"; },
          "DIR64 in a PE32+ image"}},
    };
    for (const Variant &v : variants) {
        const std::string path = v.target ? test::sibling_module(v.target) : test::module_path();
        SCOPED_TRACE(path);
        expect_found(Module(path), v.fault);
    }
}

// A relocation of a type the image cannot use is one finding at its place.
// At the preferred base nothing is patched, so the image still maps and its
// tables are still read and judged: a second fault, in the tables or in what
// they type, is found too.
TEST(Verify, AWrongRelocationTypeIsOneFindingAndTheTablesAreStillJudged)
{
    const Module m(test::sibling_module("x64"));
    const uint32_t field = m.pointer(PointerSlot::DeadKey).field_rva;
    const size_t entry = m.relocation_entry(field);
    const DeadCell dead = first_dead_cell(m.tables);

    struct Case {
        const char *fault;
        uint16_t type;
        const char *type_name;
        std::function<void(Bytes &)> second;
        Check second_check;
    };
    const Case cases[] = {
        {"HIGHLOW, and a dead cell without a dead character", pe::kRelHighLow, "HIGHLOW",
         [&](Bytes &b) { put_u16(b, m.offset(dead.dead_character_rva), kWchNone); },
         Check::DeadKeys},
        {"an unknown type, and the AltGr key gone from the E0 map", 7, "type 7",
         [&](Bytes &b) { m.remove_altgr(b); },
         Check::Reach},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fault);
        Bytes bytes = m.bytes;
        put_u16(bytes, entry, static_cast<uint16_t>(c.type << 12 | (field & 0xFFF)));
        c.second(bytes);
        fix_checksum(bytes);
        const auto findings = verify_bytes(bytes);

        std::vector<Finding> relocations;
        std::copy_if(findings.begin(), findings.end(), std::back_inserter(relocations),
                     [](const Finding &f) { return f.check == Check::Relocations; });
        ASSERT_EQ(relocations.size(), 1u) << describe(findings);
        EXPECT_EQ(relocations[0].place, rva_place(field, "base relocation"));
        EXPECT_EQ(relocations[0].expected, "DIR64 in a PE32+ image");
        EXPECT_EQ(relocations[0].found, c.type_name);
        EXPECT_TRUE(std::none_of(findings.begin(), findings.end(),
                                 [](const Finding &f) { return f.check == Check::Image; }))
            << "the image was refused:" << describe(findings);
        EXPECT_TRUE(std::any_of(findings.begin(), findings.end(),
                                [&](const Finding &f) { return f.check == c.second_check; }))
            << describe(findings);
    }
}

// A finding keeps what was expected and what was found apart from its
// text, whether a check made it or the reader refused the image.
TEST(Verify, FindingsCarryTheirPlaceExpectationAndWhatWasFound)
{
    const Module m;
    const PointerField &dead = m.pointer(PointerSlot::DeadKey);
    const Headers &h = m.file.headers();
    const uint64_t outside = h.image_base + h.size_of_image + 0x100;
    Bytes bytes = m.bytes;
    put_u32(bytes, m.offset(dead.field_rva), static_cast<uint32_t>(outside));
    fix_checksum(bytes);
    const auto refused = verify_bytes(bytes);
    ASSERT_FALSE(refused.empty());
    const Finding &refusal = refused.back();
    EXPECT_EQ(refusal.check, Check::Tables);
    EXPECT_EQ(refusal.place.what, dead.label() + " at RVA " + hex(dead.field_rva));
    EXPECT_NE(refusal.expected.find("inside a section of the image"), std::string::npos)
        << refusal.expected;
    EXPECT_EQ(refusal.found, hex(outside));

    bytes = m.bytes;
    put_u32(bytes, h.checksum_offset, h.checksum ^ 1);
    const auto judged = verify_bytes(bytes);
    ASSERT_EQ(judged.size(), 3u) << describe(judged);
    EXPECT_EQ(judged[0].expected,
              hex(m.file.computed_checksum(), 8) + " as computed over the file");
    EXPECT_EQ(judged[0].found, hex(h.checksum ^ 1, 8));
    EXPECT_EQ(judged[0].reason,
              "only a warning, as the platform does not check a layout's checksum");
}

// The platform does not check a layout's checksum: a stale one and the
// linker's zero are warnings, each the only finding, and each says why.
TEST(Verify, AWrongOrZeroChecksumIsTheOnlyFindingAndAWarning)
{
    const Module m;
    const uint32_t at = m.file.headers().checksum_offset;
    const struct {
        uint32_t stored;
        std::string found;
    } cases[] = {
        {get_u32(m.bytes, at) + 1, hex(get_u32(m.bytes, at) + 1, 8)},
        {0, "0x00000000 (the linker's default)"},
    };
    for (const auto &c : cases) {
        Bytes bytes = m.bytes;
        put_u32(bytes, at, c.stored);
        const auto findings = verify_bytes(bytes);
        ASSERT_EQ(findings.size(), 3u) << describe(findings);
        const Finding &f = findings[0];
        EXPECT_EQ(f.severity, Severity::Warning);
        EXPECT_EQ(f.check, Check::Checksum);
        EXPECT_EQ(f.place.field, "optional header CheckSum");
        EXPECT_EQ(f.place.file_offset, at);
        EXPECT_EQ(f.expected, hex(m.file.computed_checksum(), 8) + " as computed over the file");
        EXPECT_EQ(f.found, c.found);
        EXPECT_TRUE(is_keypad_shift_warning(findings[1])) << describe(findings);
        EXPECT_TRUE(is_caps_altgr_warning(findings[2])) << describe(findings);
    }
}

// What the reader refuses is an error in the reader's own words, the last
// finding: nothing after it could be read.
TEST(Verify, AnUnreadableImageIsAFindingNotACrash)
{
    const Bytes whole = test::module_bytes();
    struct Case {
        const char *name;
        Bytes bytes;
        const char *says;
        bool alone;   // nothing could be judged before the refusal
    };
    Bytes no_pe = whole;
    no_pe.at(get_u32(whole, pe::kDosNtOffsetField)) = 'X';
    Bytes no_accessor = whole;
    {
        const Module m;
        const DataDirectory exports = m.file.headers().directories.at(pe::kDirExport);
        const uint32_t names = get_u32(whole, m.offset(exports.rva + pe::kExportAddressOfNames));
        no_accessor.at(m.offset(get_u32(whole, m.offset(names)))) = 'k';
        fix_checksum(no_accessor);
    }
    const Case cases[] = {
        {"empty", {}, "DOS header", true},
        {"cut after the headers", Bytes(whole.begin(), whole.begin() + 0x300), "section", true},
        {"no PE signature", no_pe, "PE signature", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto findings = verify_bytes(c.bytes);
        ASSERT_FALSE(findings.empty());
        if (c.alone) {
            EXPECT_EQ(findings.size(), 1u) << describe(findings);
        }
        const Finding &refusal = findings.back();
        EXPECT_EQ(refusal.severity, Severity::Error);
        EXPECT_NE((refusal.place.what + refusal.expected).find(c.says), std::string::npos)
            << describe(findings);
        EXPECT_FALSE(refusal.expected.empty()) << describe(findings);
        EXPECT_FALSE(refusal.found.empty()) << describe(findings);
    }
    // Without the export there are no tables to read: one finding, of the
    // exports, and no refusal of the tables after it.
    const auto unexported = verify_bytes(no_accessor);
    ASSERT_EQ(unexported.size(), 1u) << describe(unexported);
    EXPECT_EQ(unexported[0].severity, Severity::Error);
    EXPECT_EQ(unexported[0].check, Check::Exports);
    EXPECT_EQ(unexported[0].place, named("export directory"));
    EXPECT_EQ(unexported[0].expected, "an export named KbdLayerDescriptor");

    const auto missing = verify_file("/nonexistent/Wendol.dll");
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_NE(missing[0].expected.find("readable file"), std::string::npos)
        << describe(missing);
}

TEST(Verify, CommandExitsOneOnAnErrorAndTwoOnAMistake)
{
    const test::CliRun good = test::run_cli({"verify", test::module_path()});
    EXPECT_EQ(good.exit_code, 0) << good.output;
    EXPECT_NE(good.output.find("0 errors, 2 warnings"), std::string::npos) << good.output;

    const Module m;
    Bytes bytes = m.bytes;
    m.remove_altgr(bytes);
    fix_checksum(bytes);
    const std::string damaged = write_temporary("verify_damaged.dll", bytes);
    const test::CliRun bad = test::run_cli({"verify", test::module_path(), damaged});
    std::remove(damaged.c_str());
    EXPECT_EQ(bad.exit_code, 1) << bad.output;
    EXPECT_NE(bad.output.find(damaged + ": error [reach] U+00DF"), std::string::npos)
        << bad.output;

    const test::CliRun none = test::run_cli({"verify"});
    EXPECT_EQ(none.exit_code, 2) << none.output;
}

// Warnings are printed, but only an error fails the run; with --strict a
// warning fails it too.
TEST(Verify, StrictFailsOnAWarningTooAndPlainOnlyOnAnError)
{
    const Module m;
    Bytes bytes = m.bytes;
    put_u32(bytes, m.file.headers().checksum_offset, 0);
    const std::string zero = write_temporary("verify_zero_checksum.dll", bytes);
    const test::CliRun plain = test::run_cli({"verify", zero});
    const test::CliRun strict = test::run_cli({"verify", "--strict", zero});
    const test::CliRun strict_ours = test::run_cli({"verify", "--strict", test::module_path()});
    // The checksum command finds the zero wrong, and stores the right one.
    const test::CliRun asked = test::run_cli({"checksum", zero});
    const test::CliRun written = test::run_cli({"checksum", "--write", zero});
    const test::CliRun after = test::run_cli({"verify", zero});
    const Bytes fixed = test::read_bytes(zero);
    std::remove(zero.c_str());
    EXPECT_EQ(asked.exit_code, 1) << asked.output;
    EXPECT_EQ(written.exit_code, 0) << written.output;
    EXPECT_EQ(fixed, m.bytes);
    EXPECT_NE(after.output.find("0 errors, 2 warnings"), std::string::npos) << after.output;
    EXPECT_EQ(plain.exit_code, 0) << plain.output;
    EXPECT_NE(plain.output.find("warning [checksum]"), std::string::npos) << plain.output;
    EXPECT_NE(plain.output.find("0 errors, 3 warnings"), std::string::npos) << plain.output;
    EXPECT_EQ(strict.exit_code, 1) << strict.output;
    EXPECT_EQ(strict.output, plain.output);
    // Our own module's two warnings, the keypad's Shift column and the
    // Caps Lock rows' AltGr columns.
    EXPECT_EQ(strict_ours.exit_code, 1) << strict_ours.output;

    const test::CliRun help = test::run_cli({"verify", "--help"});
    EXPECT_NE(help.output.find("--strict"), std::string::npos) << help.output;
}

// The E0 map in another order is searched the same: no finding.
TEST(Verify, TheOrderOfAListThePlatformSearchesIsNoFinding)
{
    const Module m;
    Bytes bytes = m.bytes;
    const uint32_t e0 = m.pointer(PointerSlot::VscToVkE0).target_rva;
    const uint32_t first = get_u32(bytes, m.offset(e0));
    put_u32(bytes, m.offset(e0), get_u32(bytes, m.offset(e0 + 4)));
    put_u32(bytes, m.offset(e0 + 4), first);
    fix_checksum(bytes);
    const auto findings = verify_bytes(bytes);
    ASSERT_EQ(findings.size(), 2u) << describe(findings);
    EXPECT_TRUE(is_keypad_shift_warning(findings[0])) << describe(findings);
    EXPECT_TRUE(is_caps_altgr_warning(findings[1])) << describe(findings);
}

// A 20-byte run of zeros in the module's file data, 4-aligned: an import
// directory there holds the terminator alone.
uint32_t zero_descriptor(const Module &m)
{
    for (const Section &s : m.file.sections())
        for (uint32_t at = s.virtual_address;
             at + pe::kImportDescriptorSize <= s.virtual_address + file_backed_size(s); at += 4) {
            const size_t from = m.offset(at);
            if (std::all_of(m.bytes.begin() + from,
                            m.bytes.begin() + from + pe::kImportDescriptorSize,
                            [](uint8_t b) { return b == 0; }))
                return at;
        }
    throw std::runtime_error("no 20 zero bytes in the module's sections");
}

// What the platform reads as no import and as the whole result is no
// finding: an import directory of its terminator alone (as GNU ld writes),
// and an accessor returning EAX alone where pointers are 32 bits.
TEST(Verify, WhatThePlatformReadsAsNothingAmissIsNoFinding)
{
    const struct {
        const char *what;
        std::string module;
        std::function<void(Bytes &, const Module &)> change;
    } cases[] = {
        {"an import directory of its terminator alone", test::module_path(),
         [](Bytes &b, const Module &m) {
             put_u32(b, m.directory(pe::kDirImport), zero_descriptor(m));
             put_u32(b, m.directory(pe::kDirImport) + pe::kDataDirectorySizeField,
                     pe::kImportDescriptorSize);
         }},
        {"mov eax, imm32; ret with 32-bit pointers", test::sibling_module("x86"),
         [](Bytes &b, const Module &m) { m.return_in_eax_alone(b); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Module m(c.module);
        Bytes bytes = m.bytes;
        c.change(bytes, m);
        fix_checksum(bytes);
        const auto findings = verify_bytes(bytes);
        ASSERT_EQ(findings.size(), 2u) << describe(findings);
        EXPECT_TRUE(is_keypad_shift_warning(findings[0])) << describe(findings);
        EXPECT_TRUE(is_caps_altgr_warning(findings[1])) << describe(findings);
    }
}

// An older root record that ends with its section: read, with no dwType
// and dwSubType, and the older-header warning given for it.  The record is
// the module's own up to pLigature, copied into a section of its own that
// the accessor is made to return.
TEST(Verify, AnOlderRootRecordEndingWithItsSectionIsReadAndOneWarning)
{
    const Module m;
    const KbdTablesLayout layout(m.tables.form);
    const size_t root = m.offset(m.tables.root_rva);
    const Bytes older(m.bytes.begin() + static_cast<std::ptrdiff_t>(root),
                      m.bytes.begin() + static_cast<std::ptrdiff_t>(root + layout.older_size()));
    Bytes bytes = m.bytes;
    const uint32_t rva = test::next_section_rva(bytes);
    test::append_section(bytes, older);
    for (const AddressConstant &c : m.call.constants)
        put_u32(bytes, test::file_offset(bytes, c.rva),
                static_cast<uint32_t>(m.file.headers().image_base + rva));
    fix_checksum(bytes);

    const LayoutTables tables = read_tables(test::map_bytes(bytes));
    EXPECT_EQ(tables.root_rva, rva);
    EXPECT_FALSE(tables.has_type_fields);
    EXPECT_EQ(tables.type, 0u);
    EXPECT_EQ(tables.subtype, 0u);
    EXPECT_EQ(tables.scan_map, m.tables.scan_map);

    const auto findings = verify_bytes(bytes);
    EXPECT_TRUE(std::none_of(findings.begin(), findings.end(),
                             [](const Finding &f) { return f.check == Check::Tables; }))
        << describe(findings);
    std::vector<Finding> root_record;
    std::copy_if(findings.begin(), findings.end(), std::back_inserter(root_record),
                 [](const Finding &f) { return f.check == Check::RootRecord; });
    ASSERT_EQ(root_record.size(), 1u) << describe(findings);
    EXPECT_EQ(root_record[0].severity, Severity::Warning);
    EXPECT_EQ(root_record[0].place, rva_place(rva + layout.type(), "KBDTABLES.dwType"));
    EXPECT_EQ(root_record[0].expected, "dwType and dwSubType after pLigature");
}

// The counts take in every finding, those past what is listed of a check
// and severity too, and the line that counts those says how many it
// stands for.
TEST(Verify, TheCountsTakeInTheFindingsNotListed)
{
    Findings findings;
    const size_t extra = 50;
    for (size_t i = 0; i < Findings::kListedPerCheck + extra; ++i)
        findings.warning(Check::Order, named("entry " + std::to_string(i)), "each once", "again",
                         "");
    findings.error(Check::Rows, named("row 1"), "a row", "none");
    ASSERT_EQ(findings.all().size(), Findings::kListedPerCheck + 2);
    EXPECT_EQ(findings.warnings(), Findings::kListedPerCheck + extra);
    EXPECT_EQ(findings.errors(), 1u);
    EXPECT_EQ(findings.notes(), 0u);
    const Finding &more = findings.all()[Findings::kListedPerCheck];
    EXPECT_EQ(more.severity, Severity::Warning);
    EXPECT_EQ(more.check, Check::Order);
    EXPECT_EQ(more.count, extra);
    EXPECT_TRUE(more.unlisted);
    EXPECT_TRUE(more.place.empty());
}

// A row the keymap cannot answer costs only its own key: one reach finding
// for the row, however many states press it, while every other key is
// still typed and judged (the AltGr key gone still loses ß, the keypad's
// Shift column is still reported), and a broken dead-key name list changes
// none of that.
TEST(Verify, ABrokenRowIsOneFindingAndReachGoesOnOverTheRest)
{
    const Module m;
    const PointerField &names = m.pointer(PointerSlot::KeyNamesDead);
    // The dead key's dead character made WCH_NONE: the platform has no dead
    // character to hold (a row below of another key would still be read).
    const RowRef dead_key = first_dead_key_row(m.tables);
    for (const RowRef &broken : {dead_key}) {
        SCOPED_TRACE(row_text(m.tables, broken));
        Bytes bytes = m.bytes;
        const CharRow &key_row = m.tables.char_tables[broken.table].rows[broken.row];
        const size_t column = std::find(key_row.cells.begin(), key_row.cells.end(), kWchDead) -
                              key_row.cells.begin();
        const uint32_t below = m.tables.char_tables[broken.table].rows[broken.row + 1].rva;
        test::put_u16(bytes, m.offset(below + 2 + 2 * static_cast<uint32_t>(column)), kWchNone);
        m.remove_altgr(bytes);
        // The first dead-key name's pointer nulled: the list ends there.
        put_u32(bytes, m.offset(names.target_rva), 0);
        put_u32(bytes, m.offset(names.target_rva + 4), 0);
        fix_checksum(bytes);
        const auto findings = verify_bytes(bytes);

        const auto count = [&](const std::function<bool(const Finding &)> &which) {
            return std::count_if(findings.begin(), findings.end(), which);
        };
        EXPECT_EQ(count([&](const Finding &f) {
                      return f.check == Check::Reach && f.severity == Severity::Error &&
                             in_row(broken)(f.place);
                  }),
                  1)
            << describe(findings);
        EXPECT_EQ(count([](const Finding &f) {
                      return f.check == Check::Reach && f.place.character == U'\u00DF' &&
                             f.expected == "a way to type it from the reverse lookup";
                  }),
                  1)
            << describe(findings);
        EXPECT_EQ(count(is_keypad_shift_warning), 1) << describe(findings);
        EXPECT_GT(count([](const Finding &f) {
                      return f.check == Check::DeadKeys && f.found == "none in aKeyNamesDead";
                  }),
                  0)
            << describe(findings);
    }
}

// The tests' own layouts with faults built in, in every pointer form.
const char *const kVariants[] = {"x86", "wow64", "x64", "arm64"};

Keymap layout_keymap(const std::string &path)
{
    return Keymap(read_tables(test::map_bytes(test::read_bytes(path))));
}

// A modifier map that selects no column 2: wMaxModBits stops below
// Ctrl+Alt, or Ctrl+Alt's number is past the table.  What only that column
// holds (@, æ, ß) is lost and named, in one warning: the platform types
// nothing wrong, it never types them; ! is typed by Shift+1 as well.
TEST(VerifyLayouts, AColumnNoModifierSelectsIsOneWarningNamingWhatIsLost)
{
    for (const char *layout : {"hidden", "hidden_beyond"}) {
        for (const char *variant : kVariants) {
            const std::string path = test::test_layout(layout, variant);
            SCOPED_TRACE(path);
            const auto findings = verify_file(path);
            const bool beyond = std::string(layout) == "hidden_beyond";
            ASSERT_EQ(findings.size(), beyond ? 2u : 1u) << describe(findings);
            const Finding &hidden = findings.back();
            EXPECT_EQ(hidden.severity, Severity::Warning);
            EXPECT_EQ(hidden.check, Check::Modifiers);
            ASSERT_EQ(hidden.place.tables.size(), 1u) << describe(findings);
            EXPECT_EQ(hidden.place.tables[0].table, 0u);
            EXPECT_EQ(hidden.place.tables[0].columns, std::vector<size_t>{2});
            EXPECT_NE(hidden.expected.find(beyond ? "wMaxModBits (7)" : "wMaxModBits (3)"),
                      std::string::npos)
                << hidden.expected;
            for (const char *lost : {"U+0040 @", "U+00E6 \u00E6", "U+00DF \u00DF"})
                EXPECT_NE(hidden.found.find(lost), std::string::npos) << hidden.found;
            EXPECT_EQ(hidden.found.find("U+0021"), std::string::npos) << hidden.found;
            if (beyond) {
                const Finding &number = findings.front();
                EXPECT_EQ(number.severity, Severity::Warning);
                EXPECT_EQ(number.place.field, "MODIFIERS.ModNumber[6]") << describe(findings);
                EXPECT_NE(number.found.find("column 3, which no table has"), std::string::npos)
                    << number.found;
            }

            // Typed through the loaded image, Ctrl+Alt gives nothing, and no
            // key in any state gives what the finding says is lost.
            const Keymap keymap = layout_keymap(path);
            Typist typist(keymap);
            const std::vector<Press> presses = typist.chord(
                {ScanCode{Prefix::None, 0x1D}, ScanCode{Prefix::None, 0x38},
                 ScanCode{Prefix::None, 0x1E}});
            EXPECT_TRUE(delivered(presses).empty()) << utf8(delivered(presses));
            std::set<char16_t> typed;
            sweep_keyboard(keymap, [&](const SweepState &, const Press &press) {
                if (press.cell.kind == Cell::Kind::Character)
                    typed.insert(press.cell.ch);
            });
            for (char16_t lost : {u'@', u'\u00E6', u'\u00DF'})
                EXPECT_FALSE(typed.count(lost)) << character_label(lost);
            EXPECT_TRUE(typed.count(u'!'));
        }
    }
}

// The minimal layout with its Shift key giving a bit no column number
// reads (0x10, past wMaxModBits): the Shift column is selected, but only
// Caps Lock on a CAPLOK letter still reaches it.  One warning per other
// row, naming the column, its bits and the cells; typing Shift+1 through
// the damaged image gives nothing, while Caps Lock still capitalises.
TEST(VerifyLayouts, CellsNoKeyStateReachesAreOneWarningPerRow)
{
    for (const char *variant : kVariants) {
        const std::string path = test::test_layout("minimal", variant);
        SCOPED_TRACE(path);
        Bytes bytes = test::read_bytes(path);
        const LayoutTables tables = read_tables(test::map_bytes(bytes));
        const PointerField *bits = find_pointer(tables, {PointerSlot::VkToBit});
        ASSERT_NE(bits, nullptr);
        ASSERT_EQ(tables.modifiers.keys.at(0).vk, 0x10);   // VK_SHIFT first
        bytes.at(test::file_offset(bytes, bits->target_rva) + 1) = 0x10;
        fix_checksum(bytes);
        const auto findings = verify_bytes(bytes);

        size_t unreached_rows = 0;
        for (const CharRow &row : tables.char_tables.at(0).rows)
            unreached_rows += row.vk != kContinuationVk && row.cells.at(1) != kWchNone &&
                              !(row.attributes & kCapLok);
        std::vector<Finding> warnings;
        std::copy_if(findings.begin(), findings.end(), std::back_inserter(warnings),
                     [](const Finding &f) { return f.severity == Severity::Warning; });
        ASSERT_EQ(warnings.size(), unreached_rows) << describe(findings);
        for (const Finding &f : warnings) {
            EXPECT_EQ(f.check, Check::Reach);
            ASSERT_EQ(f.place.tables.size(), 1u) << describe(findings);
            EXPECT_EQ(f.place.tables[0].table, 0u);
            EXPECT_TRUE(f.place.tables[0].row) << describe(findings);
            EXPECT_NE(f.reason.find("column 1 (modifier bits 1)"), std::string::npos) << f.reason;
        }
        EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(), [](const Finding &f) {
            return f.expected == "a key state that types U+0021 !";
        })) << describe(findings);

        const Keymap keymap(read_tables(test::map_bytes(bytes)));
        Typist typist(keymap);
        const Chord shift_1{ScanCode{Prefix::None, 0x2A}, ScanCode{Prefix::None, 0x02}};
        EXPECT_EQ(delivered(typist.chord(shift_1)), u"");
        typist.chord({VirtualKey{0x14}});   // VK_CAPITAL: the layout has no Caps Lock key
        EXPECT_EQ(delivered(typist.chord({ScanCode{Prefix::None, 0x1E}})), u"A");
    }
}

// A root record that ends after pLigature, the E1 map right behind it: the
// eight bytes read as dwType and dwSubType are the map's, which the one
// finding names; only a warning, so the layout passes unless --strict.
TEST(VerifyLayouts, AnOlderRootRecordIsOneWarningNamingTheTableBehindIt)
{
    for (const char *variant : kVariants) {
        const std::string path = test::test_layout("older", variant);
        SCOPED_TRACE(path);
        const auto findings = verify_file(path);
        ASSERT_EQ(findings.size(), 1u) << describe(findings);
        const Finding &f = findings[0];
        EXPECT_EQ(f.severity, Severity::Warning);
        EXPECT_EQ(f.check, Check::RootRecord);
        EXPECT_EQ(f.place.field, "KBDTABLES.dwType");
        for (const char *says : {"pVSCtoVK_E1 beginning at", "older header", "ends after pLigature"})
            EXPECT_NE(f.found.find(says), std::string::npos) << f.found;
        EXPECT_EQ(f.reason,
                  "only a warning, as the platform then takes the layout type from elsewhere");
        // What the newer reading takes for dwType: Pause's entry, 1D 00 13 00.
        const Keymap keymap = layout_keymap(path);
        EXPECT_EQ(keymap.tables().type, 0x0013001Du);
        EXPECT_EQ(keymap.tables().subtype, 0u);
        ASSERT_EQ(keymap.tables().scan_map_e1.size(), 1u);
        EXPECT_EQ(keymap.tables().scan_map_e1[0].scan, 0x1D);

        EXPECT_EQ(test::run_cli({"verify", path}).exit_code, 0);
        EXPECT_EQ(test::run_cli({"verify", "--strict", path}).exit_code, 1);
    }
}

}  // namespace
}  // namespace wendol
