// resources.h - the resources of a PE file as the platform's resource code
// finds them: the directory tree (type, name, language), the string-table
// blocks and the version information.  Read from the file's bytes through
// the section table, nothing mapped; every offset, length and count in the
// tree is checked before it is used, and bad input throws Error.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pe/image.h"

namespace wendol {

constexpr uint16_t kRtString = 6;
constexpr uint16_t kRtVersion = 16;

// A step in the tree is keyed by a 16-bit ID or by a counted UTF-16 name.
struct ResourceKey {
    bool named = false;
    uint16_t id = 0;          // when not named
    std::u16string name;      // when named

    bool is(uint16_t wanted) const { return !named && id == wanted; }
    bool operator==(const ResourceKey &) const = default;
};

// One leaf of the tree: the data entry reached through type, name, language.
struct ResourceEntry {
    ResourceKey type;
    ResourceKey name;
    ResourceKey language;
    uint32_t data_rva = 0;
    uint32_t size = 0;
    uint32_t code_page = 0;
};

struct ResourceTree {
    uint32_t rva = 0;         // the resource data directory as the header gives it
    uint32_t size = 0;
    std::vector<ResourceEntry> entries;   // stored order
};

// The tree's leaves; an image without a resource directory has none.
// Refuses a tree deeper or wider than three levels of directories can be.
ResourceTree read_resource_tree(const PeFile &file);

// The bytes a leaf points at.
std::span<const uint8_t> resource_data(const PeFile &file, const ResourceEntry &entry);

// An RT_STRING block: sixteen counted UTF-16 strings, block b holding the
// IDs 16(b-1) to 16(b-1)+15.
struct StringBlock {
    uint16_t block = 0;
    uint16_t language = 0;
    std::array<std::u16string, 16> strings;
    uint32_t used_bytes = 0;  // how much of the data the sixteen strings take
    uint32_t data_size = 0;   // the resource's size; padding may follow the strings

    uint32_t first_id() const { return (uint32_t{block} - 1) * 16; }
};

StringBlock parse_string_block(std::span<const uint8_t> data, uint16_t block, uint16_t language);

// One node of a VS_VERSIONINFO tree, as stored.
struct VersionNode {
    uint16_t length = 0;          // wLength, the whole node
    uint16_t value_length = 0;    // wValueLength: bytes (binary) or code units (text)
    uint16_t type = 0;            // wType: 0 binary, 1 text
    std::u16string key;
    uint32_t value_offset = 0;    // from the start of the resource data
    std::vector<uint8_t> value;   // as stored; text values still hold their NUL
    std::vector<VersionNode> children;

    std::u16string text() const;  // a text value up to its NUL
};

VersionNode parse_version_node(std::span<const uint8_t> data);

struct FixedFileInfo {
    uint32_t signature = 0;
    uint32_t struct_version = 0;
    uint32_t file_version_ms = 0, file_version_ls = 0;
    uint32_t product_version_ms = 0, product_version_ls = 0;
    uint32_t flags_mask = 0;
    uint32_t flags = 0;
    uint32_t os = 0;
    uint32_t type = 0;
    uint32_t subtype = 0;
    uint32_t date_ms = 0, date_ls = 0;
};
constexpr uint32_t kFixedFileInfoSize = 52;
constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

struct VersionString {
    std::u16string key;
    std::u16string value;
    uint16_t type = 0;
    uint16_t value_length = 0;
};

struct VersionStringTable {
    std::u16string key;           // language and code page, "041904B0"
    std::vector<VersionString> strings;   // stored order
};

struct VersionTranslation {
    uint16_t language = 0;
    uint16_t code_page = 0;
};

struct VersionInfo {
    VersionNode root;
    std::optional<FixedFileInfo> fixed;
    std::vector<VersionStringTable> string_tables;
    std::vector<VersionTranslation> translations;
};

// Reads the tree and picks out the parts the platform's version functions
// serve: the fixed info, StringFileInfo's tables and VarFileInfo's Translation.
VersionInfo read_version_info(std::span<const uint8_t> data);

// "3.1.0.2" from a most/least significant pair.
std::string version_quad(uint32_t ms, uint32_t ls);

struct VersionResource {
    ResourceEntry entry;
    VersionInfo info;
};

struct Resources {
    ResourceTree tree;
    std::vector<StringBlock> string_blocks;   // one per RT_STRING leaf, tree order
    std::vector<VersionResource> versions;    // one per RT_VERSION leaf

    // The string as LoadString finds it in the first block that holds the ID:
    // nullopt when no block does; an empty string is a string of length 0.
    std::optional<std::u16string> string(uint32_t id) const;
};

Resources read_resources(const PeFile &file);

}  // namespace wendol
