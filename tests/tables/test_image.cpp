// test_image.cpp - the built module's shape as the loader sees it: headers,
// sections, exports, checksum, relocations, and what the accessor returns
// wherever the image is mapped.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

#include "pe/pe_format.h"
#include "support/image_helpers.h"
#include "tables/descriptor_call.h"
#include "tables/tables.h"

namespace wendol {
namespace {

using test::map_module;

const Section *find_section(const PeFile &file, const std::string &name)
{
    for (const Section &s : file.sections())
        if (s.name == name)
            return &s;
    return nullptr;
}

TEST(ImageShape, HeadersDescribeA32BitRelocatableDllWithoutEntryPoint)
{
    const PeFile file = PeFile::read(test::module_path());
    const Headers &h = file.headers();
    EXPECT_EQ(h.machine, 0x014C);
    EXPECT_FALSE(h.pe32_plus);
    EXPECT_TRUE(h.file_characteristics & pe::kFileDll);
    EXPECT_EQ(h.subsystem_major, 6);
    EXPECT_EQ(h.subsystem_minor, 0);
    EXPECT_EQ(h.dll_characteristics, pe::kDllDynamicBase | pe::kDllNxCompat | pe::kDllNoSeh);
    EXPECT_EQ(h.entry_point, 0u);
    ASSERT_GT(h.directories.size(), pe::kDirImport);
    EXPECT_EQ(h.directories[pe::kDirImport].rva, 0u);
    EXPECT_EQ(h.directories[pe::kDirImport].size, 0u);
}

TEST(ImageShape, SectionsAreDataThenResourcesThenRelocations)
{
    const PeFile file = PeFile::read(test::module_path());
    std::vector<std::string> names;
    for (const Section &s : file.sections())
        names.push_back(s.name);
    EXPECT_EQ(names, (std::vector<std::string>{".data", ".rsrc", ".reloc"}));
}

TEST(ImageShape, DataIsExecutableCodeAndNeverWritable)
{
    const PeFile file = PeFile::read(test::module_path());
    const Section *data = find_section(file, ".data");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->characteristics, pe::kScnCntCode | pe::kScnMemExecute | pe::kScnMemRead);
    for (const Section &s : file.sections())
        EXPECT_FALSE(s.characteristics & pe::kScnMemWrite) << s.name;
}

TEST(ImageShape, ResourcesAndRelocationsAreDiscardable)
{
    const PeFile file = PeFile::read(test::module_path());
    for (const char *name : {".rsrc", ".reloc"}) {
        const Section *s = find_section(file, name);
        ASSERT_NE(s, nullptr) << name;
        EXPECT_TRUE(s->characteristics & pe::kScnMemDiscardable) << name;
    }
}

TEST(ImageShape, StoredChecksumIsTheComputedOne)
{
    const PeFile file = PeFile::read(test::module_path());
    EXPECT_NE(file.headers().checksum, 0u);
    EXPECT_EQ(file.headers().checksum, file.computed_checksum());
}

TEST(ImageShape, ChecksumCoversEveryByteButItsOwnField)
{
    std::vector<uint8_t> bytes = test::module_bytes();
    const PeFile original(bytes);
    const uint32_t field = original.headers().checksum_offset;

    std::vector<uint8_t> other_field = bytes;
    test::put_u32(other_field, field, 0x12345678);
    EXPECT_EQ(PeFile(other_field).computed_checksum(), original.computed_checksum());

    std::vector<uint8_t> last_byte = bytes;
    last_byte.back() ^= 0x01;
    EXPECT_NE(PeFile(last_byte).computed_checksum(), original.computed_checksum());
}

TEST(ImageShape, ExportsKbdLayerDescriptorAloneAsOrdinalOne)
{
    const PeFile file = PeFile::read(test::module_path());
    ASSERT_EQ(file.exports().size(), 1u);
    EXPECT_EQ(file.exports()[0].name, "KbdLayerDescriptor");
    EXPECT_EQ(file.exports()[0].ordinal, 1u);
    EXPECT_EQ(file.export_ordinal_base(), 1u);
    EXPECT_EQ(file.export_module_name(), "Wendol.dll");
}

// Bases the loader might choose: the preferred one, one low, one above 2 GiB.
std::vector<uint64_t> bases()
{
    const PeFile file = PeFile::read(test::module_path());
    return {file.headers().image_base, 0x00400000, 0x90000000};
}

TEST(Relocations, AreExactlyThePointerLowHalvesAndTheAccessorsConstant)
{
    for (const uint64_t base : bases()) {
        SCOPED_TRACE("mapped at " + hex(base));
        const MappedImage image = map_module(base);
        const DescriptorCall call = call_descriptor(image);
        const LayoutTables tables = read_tables(image);

        std::set<uint32_t> expected;
        for (const PointerField &p : tables.pointers)
            if (p.value != 0)
                expected.insert(p.field_rva);
        ASSERT_TRUE(call.has_constant);
        EXPECT_GE(call.constant_rva, call.body_rva);
        EXPECT_LE(call.constant_rva + 4, call.body_rva + call.body_size);
        expected.insert(call.constant_rva);

        std::set<uint32_t> found;
        for (const BaseRelocation &r : image.file().relocations()) {
            EXPECT_EQ(r.type, pe::kRelHighLow) << hex(r.rva);
            EXPECT_TRUE(found.insert(r.rva).second) << "twice: " << hex(r.rva);
        }
        EXPECT_EQ(found, expected);
    }
}

TEST(Relocations, LeaveEveryHighHalfZeroAndEveryNullNull)
{
    const std::vector<PointerField> preferred = read_tables(map_module()).pointers;
    for (const uint64_t base : bases()) {
        SCOPED_TRACE("mapped at " + hex(base));
        const MappedImage image = map_module(base);
        const LayoutTables tables = read_tables(image);
        EXPECT_EQ(tables.form, PointerForm::Wow64);
        ASSERT_EQ(tables.pointers.size(), preferred.size());
        for (size_t i = 0; i < tables.pointers.size(); ++i) {
            const PointerField &p = tables.pointers[i];
            SCOPED_TRACE(p.label());
            EXPECT_EQ(image.u32(p.field_rva + 4, "high half"), 0u);
            EXPECT_EQ(p.value == 0, preferred[i].value == 0);
            if (p.value != 0) {
                EXPECT_EQ(p.value, base + p.target_rva);
            }
        }
    }
}

TEST(Descriptor, ReturnsTheRootSignExtendedTheSameEveryCall)
{
    struct Case {
        uint64_t base;
        uint32_t high;
    };
    for (const Case c : {Case{0x00400000, 0}, Case{0x10000000, 0}, Case{0x90000000, 0xFFFFFFFF}}) {
        SCOPED_TRACE("mapped at " + hex(c.base));
        const MappedImage image = map_module(c.base);
        const DescriptorCall first = call_descriptor(image);
        const DescriptorCall second = call_descriptor(image);
        EXPECT_EQ(first.value, second.value);
        EXPECT_EQ(first.value >> 32, c.high);
        const LayoutTables tables = read_tables(image);
        EXPECT_EQ(first.value & 0xFFFFFFFF, c.base + tables.root_rva);
    }
}

// The same layout built for the other targets: each accessor form decodes
// and each pointer form reads to the same tables.
struct Target {
    const char *name;
    PointerForm form;
    friend void PrintTo(const Target &target, std::ostream *out) { *out << target.name; }
};

class OtherTargets : public ::testing::TestWithParam<Target> {};

TEST_P(OtherTargets, ReadTheSameTablesAsTheModule)
{
    const auto [target, form] = GetParam();
    const MappedImage other = test::map_bytes(test::read_bytes(test::sibling_module(target)));
    const LayoutTables theirs = read_tables(other);
    const LayoutTables ours = read_tables(map_module());
    EXPECT_EQ(theirs.form, form);
    EXPECT_EQ(theirs.scan_map, ours.scan_map);
    EXPECT_EQ(theirs.modifiers.mod_number, ours.modifiers.mod_number);
    ASSERT_EQ(theirs.char_tables.size(), ours.char_tables.size());
    for (size_t t = 0; t < ours.char_tables.size(); ++t) {
        ASSERT_EQ(theirs.char_tables[t].rows.size(), ours.char_tables[t].rows.size());
        for (size_t r = 0; r < ours.char_tables[t].rows.size(); ++r)
            EXPECT_EQ(theirs.char_tables[t].rows[r].cells, ours.char_tables[t].rows[r].cells);
    }
    auto compositions = [](const LayoutTables &t) {
        std::vector<std::array<uint16_t, 4>> out;
        for (const DeadKeyEntry &e : t.dead_keys)
            out.push_back({e.dead, e.base, e.composed, e.flags});
        return out;
    };
    EXPECT_EQ(compositions(theirs), compositions(ours));
    EXPECT_EQ(theirs.dead_key_names, ours.dead_key_names);
    EXPECT_EQ(theirs.key_names.size(), ours.key_names.size());
    EXPECT_EQ(theirs.pointers.size(), ours.pointers.size());
}

INSTANTIATE_TEST_SUITE_P(Builds, OtherTargets,
                         ::testing::Values(Target{"x86", PointerForm::Native32},
                                           Target{"x64", PointerForm::Native64},
                                           Target{"arm64", PointerForm::Native64}),
                         [](const auto &test_info) { return std::string(test_info.param.name); });

}  // namespace
}  // namespace wendol
