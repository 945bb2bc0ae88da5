// test_resources.cpp - the module's resources as our reader finds them in the
// built Wendol.dll, and the reader itself on damaged and hand-made input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "base/error.h"
#include "base/text.h"
#include "pe/pe_format.h"
#include "resources/resources.h"
#include "support/cli_run.h"
#include "support/image_helpers.h"

namespace wendol {
namespace {

using test::get_u32;
using test::put_u16;
using test::put_u32;

PeFile built_module()
{
    return PeFile::read(test::module_path());
}

class ModuleResources : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        file_ = new PeFile(built_module());
        resources_ = new Resources(read_resources(*file_));
    }
    static void TearDownTestSuite()
    {
        delete resources_;
        delete file_;
    }

    static const VersionInfo &version()
    {
        if (resources_->versions.size() != 1)
            throw std::runtime_error("expected one version resource");
        return resources_->versions.front().info;
    }

    static PeFile *file_;
    static Resources *resources_;
};

PeFile *ModuleResources::file_ = nullptr;
Resources *ModuleResources::resources_ = nullptr;

// ---- the directory tree ---------------------------------------------------

struct Leaf {
    uint16_t type, name, language;
};

TEST_F(ModuleResources, TreeHoldsTheThreeStringBlocksAndTheVersion)
{
    const std::vector<Leaf> expected = {
        {kRtString, 63, 0x0419},
        {kRtString, 69, 0x0419},
        {kRtString, 76, 0x0419},
        {kRtVersion, 1, 0x0409},
    };
    const std::vector<ResourceEntry> &entries = resources_->tree.entries;
    ASSERT_EQ(entries.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("leaf " + std::to_string(i));
        EXPECT_TRUE(entries[i].type.is(expected[i].type)) << entries[i].type.id;
        EXPECT_TRUE(entries[i].name.is(expected[i].name)) << entries[i].name.id;
        EXPECT_TRUE(entries[i].language.is(expected[i].language)) << entries[i].language.id;
    }
}

TEST_F(ModuleResources, TreeLiesInTheRsrcSection)
{
    const Section *rsrc = nullptr;
    for (const Section &s : file_->sections())
        if (s.name == ".rsrc")
            rsrc = &s;
    ASSERT_NE(rsrc, nullptr);
    EXPECT_EQ(resources_->tree.rva, rsrc->virtual_address);
    for (const ResourceEntry &e : resources_->tree.entries) {
        EXPECT_GE(e.data_rva, rsrc->virtual_address);
        EXPECT_LE(uint64_t{e.data_rva} + e.size, uint64_t{rsrc->virtual_address} + rsrc->virtual_size);
    }
}

// ---- the string table -----------------------------------------------------

struct ExpectedString {
    uint32_t id;
    std::u16string text;
};

const std::vector<ExpectedString> kStrings = {
    {1000, u"Tarvena"},
    {1100, u"\u0410\u043D\u0433\u043B\u0438\u0439\u0441\u043A\u0456\u0439"},   // Английскій
    {1200, u"en-US"},
};

TEST_F(ModuleResources, NamedStringsHaveTheirTexts)
{
    for (const ExpectedString &s : kStrings) {
        SCOPED_TRACE(s.id);
        const std::optional<std::u16string> text = resources_->string(s.id);
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(utf8(*text), utf8(s.text));
    }
}

TEST_F(ModuleResources, EveryOtherStringOfTheBlocksIsEmpty)
{
    ASSERT_EQ(resources_->string_blocks.size(), 3u);
    for (const StringBlock &block : resources_->string_blocks) {
        EXPECT_EQ(block.language, 0x0419);
        EXPECT_LE(block.used_bytes, block.data_size);
        for (uint32_t i = 0; i < 16; ++i) {
            const uint32_t id = block.first_id() + i;
            const bool named = id == 1000 || id == 1100 || id == 1200;
            EXPECT_EQ(block.strings[i].empty(), !named) << "string " << id;
        }
    }
}

TEST_F(ModuleResources, IdsOutsideTheBlocksHaveNoString)
{
    for (uint32_t id : {0u, 1u, 991u, 1008u, 1087u, 1104u, 1199u, 1216u, 65535u, 70000u})
        EXPECT_FALSE(resources_->string(id).has_value()) << "string " << id;
}

// ---- the version resource -------------------------------------------------

TEST_F(ModuleResources, FixedFileInfo)
{
    ASSERT_TRUE(version().fixed.has_value());
    const FixedFileInfo &f = *version().fixed;
    const std::vector<std::pair<const char *, uint32_t>> fields = {
        {"signature", f.signature},       {"struct version", f.struct_version},
        {"flags mask", f.flags_mask},     {"flags", f.flags},
        {"OS", f.os},                     {"type", f.type},
        {"subtype", f.subtype},           {"date high", f.date_ms},
        {"date low", f.date_ls},
    };
    const std::vector<uint32_t> expected = {0xFEEF04BD, 0x00010000, 0x3F, 0,
                                            0x00040004, 2,          2,    0, 0};
    for (size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(fields[i].second, expected[i]) << fields[i].first;
    EXPECT_EQ(version_quad(f.file_version_ms, f.file_version_ls), "3.1.0.2");
    EXPECT_EQ(version_quad(f.product_version_ms, f.product_version_ls), "3.1.0.0");
}

TEST_F(ModuleResources, OneRussianStringTableWithItsKeysInOrder)
{
    ASSERT_EQ(version().string_tables.size(), 1u);
    const VersionStringTable &table = version().string_tables.front();
    EXPECT_EQ(utf8(table.key), "041904B0");
    const std::vector<std::string> keys = {"CompanyName",      "LegalCopyright", "FileDescription",
                                           "ProductName",      "OriginalFilename",
                                           "InternalName",     "ProductVersion"};
    ASSERT_EQ(table.strings.size(), keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(utf8(table.strings[i].key), keys[i]);
}

TEST_F(ModuleResources, VersionStringsAreTextWithTheirNulCounted)
{
    const VersionStringTable &table = version().string_tables.at(0);
    std::map<std::string, std::string> values;
    for (const VersionString &s : table.strings) {
        SCOPED_TRACE(utf8(s.key));
        EXPECT_EQ(s.type, 1);
        EXPECT_FALSE(s.value.empty());
        EXPECT_EQ(s.value_length, s.value.size() + 1);   // code units with the NUL
        values[utf8(s.key)] = utf8(s.value);
    }
    EXPECT_EQ(values["OriginalFilename"], "Wendol.dll");
    EXPECT_EQ(values["InternalName"], "Wendol");
    EXPECT_EQ(values["ProductVersion"], "3.1");
    EXPECT_EQ(values.count("FileVersion"), 0u);
}

TEST_F(ModuleResources, TranslationIsRussianUtf16)
{
    ASSERT_EQ(version().translations.size(), 1u);
    EXPECT_EQ(version().translations[0].language, 0x0419);
    EXPECT_EQ(version().translations[0].code_page, 0x04B0);
}

TEST_F(ModuleResources, NodesAreStoredAsTheVersionFunctionsExpect)
{
    const VersionNode &root = version().root;
    EXPECT_EQ(root.value_length, kFixedFileInfoSize);
    EXPECT_EQ(root.type, 0);
    EXPECT_EQ(root.value_offset, 40u);   // 6 + 32 bytes of key, padded to 4
    EXPECT_EQ(root.length, resources_->versions[0].entry.size);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(utf8(root.children[0].key), "StringFileInfo");
    EXPECT_EQ(utf8(root.children[1].key), "VarFileInfo");
    const VersionNode &var = root.children[1];
    ASSERT_EQ(var.children.size(), 1u);
    EXPECT_EQ(utf8(var.children[0].key), "Translation");
    EXPECT_EQ(var.children[0].type, 0);
    EXPECT_EQ(var.children[0].value_length, 4);
}

// ---- damaged trees --------------------------------------------------------

struct RsrcPlace {
    uint64_t offset;   // file offset of the resource directory
    uint32_t size;
};

RsrcPlace rsrc_place(const PeFile &file)
{
    const DataDirectory directory = file.headers().directories.at(pe::kDirResource);
    return {test::file_offset(file.bytes(), directory.rva), directory.size};
}

// A change to the resource bytes, given the tree's place in the file.
struct Damage {
    const char *what;
    const char *message;   // a telling part of the error
    void (*apply)(std::vector<uint8_t> &bytes, uint64_t rsrc);
};

// Offsets into the tree: the root directory, its first entry (type 6), that
// entry's name directory and its first language directory and data entry.
uint64_t type_dir(const std::vector<uint8_t> &b, uint64_t r) { return r + (get_u32(b, r + 20) & 0x7FFFFFFF); }
uint64_t name_dir(const std::vector<uint8_t> &b, uint64_t r) { return r + (get_u32(b, type_dir(b, r) + 20) & 0x7FFFFFFF); }
uint64_t data_entry(const std::vector<uint8_t> &b, uint64_t r) { return r + get_u32(b, name_dir(b, r) + 20); }

const std::vector<Damage> kDamages = {
    {"root claims 0xFFFF entries", "resource directory entries",
     [](auto &b, uint64_t r) { b.at(r + 14) = 0xFF, b.at(r + 15) = 0xFF; }},
    {"type entry points back at the root", "a data entry below the language level",
     [](auto &b, uint64_t r) { put_u32(b, r + 20, 0x80000000); }},
    {"language entry is another directory", "language 0x0419: expected a data entry",
     [](auto &b, uint64_t r) { put_u32(b, name_dir(b, r) + 20, 0x80000000); }},
    {"type entry is a data entry", "a subdirectory below the type level",
     [](auto &b, uint64_t r) { put_u32(b, r + 20, get_u32(b, r + 20) & 0x7FFFFFFF); }},
    {"subdirectory far past the end", "offset 0x7FFFFFFC",
     [](auto &b, uint64_t r) { put_u32(b, r + 20, 0xFFFFFFF0); }},
    {"name string past the end", "entry name length",
     [](auto &b, uint64_t r) { put_u32(b, r + 16, 0x8FFFFFF0); }},
    {"ID above 16 bits", "an ID of 16 bits, found 0x12345",
     [](auto &b, uint64_t r) { put_u32(b, r + 16, 0x00012345); }},
    {"data RVA outside every section", "at RVA 0x7FFFFF00",
     [](auto &b, uint64_t r) { put_u32(b, data_entry(b, r), 0x7FFFFF00); }},
    {"data size of 4 GiB", "expected 4294967295 bytes",
     [](auto &b, uint64_t r) { put_u32(b, data_entry(b, r) + 4, 0xFFFFFFFF); }},
    {"string block cut to 10 bytes", "string block 63, string 997 length",
     [](auto &b, uint64_t r) { put_u32(b, data_entry(b, r) + 4, 10); }},
};

TEST(DamagedResources, EachDamageIsRefusedWithAnError)
{
    const PeFile good = built_module();
    const RsrcPlace place = rsrc_place(good);
    for (const Damage &damage : kDamages) {
        SCOPED_TRACE(damage.what);
        std::vector<uint8_t> bytes = good.bytes();
        damage.apply(bytes, place.offset);
        const PeFile bad(std::move(bytes));
        try {
            read_resources(bad);
            ADD_FAILURE() << "read without complaint";
        } catch (const Error &error) {
            EXPECT_NE(std::string(error.what()).find(damage.message), std::string::npos)
                << error.what();
        }
    }
}

// Every byte of the tree and its data, set to a few telling values: the
// reader either reads something or throws Error, never anything else.
TEST(DamagedResources, NoSingleByteChangeEscapesTheChecks)
{
    const PeFile good = built_module();
    const RsrcPlace place = rsrc_place(good);
    size_t refused = 0;
    for (uint64_t i = 0; i < place.size; ++i) {
        for (uint8_t value : {uint8_t{0x00}, uint8_t{0x7F}, uint8_t{0x80}, uint8_t{0xFF}}) {
            std::vector<uint8_t> bytes = good.bytes();
            if (bytes.at(place.offset + i) == value)
                continue;
            bytes[place.offset + i] = value;
            const PeFile bad(std::move(bytes));
            try {
                (void)read_resources(bad);
            } catch (const Error &) {
                ++refused;
            }
        }
    }
    EXPECT_GT(refused, 0u);
}

// ---- the version parser on hand-made nodes --------------------------------

// A VS_VERSIONINFO node as the resource compiler lays it out.
struct NodeSpec {
    std::u16string key;
    uint16_t type = 0;
    std::vector<uint8_t> value;
    uint16_t value_length = 0;
    std::vector<NodeSpec> children;
};

void pad4(std::vector<uint8_t> &out)
{
    while (out.size() % 4)
        out.push_back(0);
}

void emit(std::vector<uint8_t> &out, const NodeSpec &node)
{
    pad4(out);
    const size_t start = out.size();
    out.resize(start + 6);
    put_u16(out, start + 2, node.value_length);
    put_u16(out, start + 4, node.type);
    for (char16_t c : node.key + u'\0')
        out.push_back(static_cast<uint8_t>(c)), out.push_back(static_cast<uint8_t>(c >> 8));
    pad4(out);
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const NodeSpec &child : node.children)
        emit(out, child);
    put_u16(out, start, static_cast<uint16_t>(out.size() - start));
}

std::vector<uint8_t> bytes_of(const NodeSpec &root)
{
    std::vector<uint8_t> out;
    emit(out, root);
    return out;
}

std::vector<uint8_t> text_bytes(const std::u16string &text)
{
    std::vector<uint8_t> out;
    for (char16_t c : text + u'\0')
        out.push_back(static_cast<uint8_t>(c)), out.push_back(static_cast<uint8_t>(c >> 8));
    return out;
}

NodeSpec text_node(const std::u16string &key, const std::u16string &text, uint16_t length)
{
    return {key, 1, text_bytes(text), length, {}};
}

TEST(VersionParser, TextLengthInBytesIsCutAtTheNodesEnd)
{
    // Some compilers count a text value in bytes; the text still reads.
    NodeSpec table{u"040904B0", 1, {}, 0, {text_node(u"ProductVersion", u"3.1", 8)}};
    NodeSpec root{u"VS_VERSION_INFO", 0, {}, 0,
                  {NodeSpec{u"StringFileInfo", 1, {}, 0, {table}}}};
    const VersionInfo info = read_version_info(bytes_of(root));
    ASSERT_EQ(info.string_tables.size(), 1u);
    ASSERT_EQ(info.string_tables[0].strings.size(), 1u);
    EXPECT_EQ(utf8(info.string_tables[0].strings[0].value), "3.1");
    EXPECT_FALSE(info.fixed.has_value());
}

TEST(VersionParser, RefusesWhatCannotBeRead)
{
    struct Case {
        const char *what;
        std::vector<uint8_t> bytes;
    };
    NodeSpec deep{u"x", 1, {}, 0, {}};
    for (int i = 0; i < 20; ++i)
        deep = NodeSpec{u"x", 1, {}, 0, {deep}};
    deep.key = u"VS_VERSION_INFO";

    std::vector<uint8_t> zero_child = bytes_of({u"VS_VERSION_INFO", 0, {}, 0, {{u"A", 1, {}, 0, {}}}});
    put_u16(zero_child, 0x28, 0);   // the child's wLength

    std::vector<uint8_t> long_root = bytes_of({u"VS_VERSION_INFO", 0, {}, 0, {}});
    put_u16(long_root, 0, 0x4000);

    std::vector<uint8_t> bad_signature(52, 0);
    const std::vector<Case> cases = {
        {"nodes twenty deep", bytes_of(deep)},
        {"a child of length 0", zero_child},
        {"a root longer than the data", long_root},
        {"fewer than six bytes", {0x06, 0x00, 0x00}},
        {"a key without its NUL", {0x0A, 0x00, 0x00, 0x00, 0x00, 0x00, 'V', 0, 'S', 0}},
        {"another root key", bytes_of({u"VS_VERSIONINFO", 0, {}, 0, {}})},
        {"a fixed info without its signature",
         bytes_of({u"VS_VERSION_INFO", 0, bad_signature, 52, {}})},
        {"a binary value past the node", bytes_of({u"VS_VERSION_INFO", 0, {}, 200, {}})},
    };
    for (const Case &c : cases)
        EXPECT_THROW(read_version_info(c.bytes), Error) << c.what;
}

TEST(StringBlockParser, ReadsSixteenCountedStrings)
{
    std::vector<uint8_t> data(32, 0);   // sixteen empty strings
    data[6] = 2;                        // string 3: "hi"
    data.insert(data.begin() + 8, {'h', 0, 'i', 0});
    const StringBlock block = parse_string_block(data, 2, 0x0409);
    EXPECT_EQ(block.first_id(), 16u);
    EXPECT_EQ(utf8(block.strings[3]), "hi");
    EXPECT_EQ(block.used_bytes, 36u);
    for (size_t i = 0; i < 16; ++i) {
        if (i != 3) {
            EXPECT_TRUE(block.strings[i].empty()) << i;
        }
    }
}

TEST(StringBlockParser, RefusesTruncatedBlocksAndBlockZero)
{
    const std::vector<uint8_t> short_block(30, 0);   // fifteen strings
    EXPECT_THROW(parse_string_block(short_block, 1, 0), Error);
    const std::vector<uint8_t> long_string = {0xFF, 0xFF, 'a', 0};
    EXPECT_THROW(parse_string_block(long_string, 1, 0), Error);
    EXPECT_THROW(parse_string_block(std::vector<uint8_t>(32, 0), 0, 0), Error);
}

}  // namespace
}  // namespace wendol
