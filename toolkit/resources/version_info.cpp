// version_info.cpp - VS_VERSIONINFO: a tree of nodes, each a 16-bit length,
// a 16-bit value length, a 16-bit type, a NUL-terminated UTF-16 key, padding
// to a 32-bit boundary, the value, padding again, then the children.  The
// boundaries count from the start of the resource data.
#include <cstdio>

#include "base/byte_view.h"
#include "base/error.h"
#include "resources/resources.h"

namespace wendol {
namespace {

constexpr uint32_t kNodeHeaderSize = 6;
constexpr unsigned kMaxDepth = 8;   // a real tree is four deep

uint64_t align4(uint64_t offset)
{
    return (offset + 3) & ~uint64_t{3};
}

std::string ascii(const std::u16string &text)
{
    std::string out;
    for (char16_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

class NodeReader {
public:
    explicit NodeReader(const ByteView &data) : data_(data) {}

    // The node at `offset`, which must end by `limit`.
    VersionNode read(uint64_t offset, uint64_t limit, unsigned depth, const std::string &parent)
    {
        const std::string where = parent + " node at offset " + hex(offset);
        if (depth > kMaxDepth)
            fail(where, "a tree at most " + std::to_string(kMaxDepth) + " nodes deep", "deeper");
        VersionNode node;
        node.length = data_.u16(offset, where + " wLength");
        node.value_length = data_.u16(offset + 2, where + " wValueLength");
        node.type = data_.u16(offset + 4, where + " wType");
        if (node.length < kNodeHeaderSize || offset + node.length > limit)
            fail(where + " wLength",
                 "from " + std::to_string(kNodeHeaderSize) + " to " +
                     std::to_string(limit - offset) + " bytes (what is left of its parent)",
                 std::to_string(node.length));
        const uint64_t end = offset + node.length;
        const ByteView inside(data_.bytes(0, end, where), "offset", where);

        uint64_t at = offset + kNodeHeaderSize;
        for (;;) {
            const uint16_t unit = inside.u16(at, where + " key");
            at += 2;
            if (unit == 0)
                break;
            node.key.push_back(static_cast<char16_t>(unit));
        }
        const std::string named = parent + "/" + ascii(node.key);

        at = align4(at);
        // Text lengths count code units; some compilers count bytes instead,
        // so a text value is cut at its node's end rather than refused.
        uint64_t value_bytes = node.type == 1 ? uint64_t{node.value_length} * 2
                                              : node.value_length;
        if (node.type == 1 && at + value_bytes > end)
            value_bytes = at < end ? end - at : 0;
        if (value_bytes > 0) {
            std::span<const uint8_t> value = inside.bytes(at, value_bytes, named + " value");
            node.value.assign(value.begin(), value.end());
            node.value_offset = static_cast<uint32_t>(at);
            at += value_bytes;
        }

        for (at = align4(at); at < end; at = align4(at)) {
            node.children.push_back(read(at, end, depth + 1, named));
            at += node.children.back().length;
        }
        return node;
    }

private:
    const ByteView &data_;
};

FixedFileInfo read_fixed(const VersionNode &root)
{
    if (root.value.size() < kFixedFileInfoSize)
        fail("VS_VERSIONINFO value", std::to_string(kFixedFileInfoSize) + " bytes of VS_FIXEDFILEINFO",
             std::to_string(root.value.size()));
    const ByteView v(root.value, "offset", "VS_FIXEDFILEINFO");
    FixedFileInfo fixed;
    fixed.signature = v.u32(0, "VS_FIXEDFILEINFO dwSignature");
    fixed.struct_version = v.u32(4, "VS_FIXEDFILEINFO dwStrucVersion");
    fixed.file_version_ms = v.u32(8, "VS_FIXEDFILEINFO dwFileVersionMS");
    fixed.file_version_ls = v.u32(12, "VS_FIXEDFILEINFO dwFileVersionLS");
    fixed.product_version_ms = v.u32(16, "VS_FIXEDFILEINFO dwProductVersionMS");
    fixed.product_version_ls = v.u32(20, "VS_FIXEDFILEINFO dwProductVersionLS");
    fixed.flags_mask = v.u32(24, "VS_FIXEDFILEINFO dwFileFlagsMask");
    fixed.flags = v.u32(28, "VS_FIXEDFILEINFO dwFileFlags");
    fixed.os = v.u32(32, "VS_FIXEDFILEINFO dwFileOS");
    fixed.type = v.u32(36, "VS_FIXEDFILEINFO dwFileType");
    fixed.subtype = v.u32(40, "VS_FIXEDFILEINFO dwFileSubtype");
    fixed.date_ms = v.u32(44, "VS_FIXEDFILEINFO dwFileDateMS");
    fixed.date_ls = v.u32(48, "VS_FIXEDFILEINFO dwFileDateLS");
    return fixed;
}

VersionStringTable read_string_table(const VersionNode &node)
{
    VersionStringTable table;
    table.key = node.key;
    for (const VersionNode &child : node.children)
        table.strings.push_back({child.key, child.text(), child.type, child.value_length});
    return table;
}

// Language and code-page pairs; bytes left over after the last whole pair
// make none.
std::vector<VersionTranslation> read_translations(const VersionNode &var)
{
    const ByteView v(var.value, "offset", "the Translation value");
    std::vector<VersionTranslation> pairs;
    for (uint64_t at = 0; v.contains(at, 4); at += 4)
        pairs.push_back({v.u16(at, "Translation language"), v.u16(at + 2, "Translation code page")});
    return pairs;
}

}  // namespace

std::u16string VersionNode::text() const
{
    // A stray last byte of an odd-sized value is no code unit.
    const ByteView v(value, "offset", "the text value");
    std::u16string out;
    for (uint64_t at = 0; v.contains(at, 2); at += 2) {
        const char16_t unit = static_cast<char16_t>(v.u16(at, "text value"));
        if (unit == 0)
            break;
        out.push_back(unit);
    }
    return out;
}

VersionNode parse_version_node(std::span<const uint8_t> data)
{
    const ByteView view(data, "offset", "the version resource");
    return NodeReader(view).read(0, data.size(), 0, "VS_VERSIONINFO");
}

VersionInfo read_version_info(std::span<const uint8_t> data)
{
    VersionInfo info;
    info.root = parse_version_node(data);
    if (info.root.key != u"VS_VERSION_INFO")
        fail("version resource key", "\"VS_VERSION_INFO\"", "\"" + ascii(info.root.key) + "\"");
    if (!info.root.value.empty()) {
        FixedFileInfo fixed = read_fixed(info.root);
        if (fixed.signature != kFixedFileInfoSignature)
            fail("VS_FIXEDFILEINFO signature", hex(kFixedFileInfoSignature),
                 hex(fixed.signature));
        info.fixed = fixed;
    }
    for (const VersionNode &child : info.root.children) {
        if (child.key == u"StringFileInfo") {
            for (const VersionNode &table : child.children)
                info.string_tables.push_back(read_string_table(table));
        } else if (child.key == u"VarFileInfo") {
            for (const VersionNode &var : child.children)
                if (var.key == u"Translation")
                    for (const VersionTranslation &pair : read_translations(var))
                        info.translations.push_back(pair);
        }
    }
    return info;
}

std::string version_quad(uint32_t ms, uint32_t ls)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%u.%u.%u.%u", ms >> 16, ms & 0xFFFF, ls >> 16,
                  ls & 0xFFFF);
    return buffer;
}

}  // namespace wendol
