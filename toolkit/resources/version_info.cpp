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

uint32_t u32_at(const std::vector<uint8_t> &bytes, size_t offset)
{
    uint32_t value = 0;
    for (size_t i = 4; i-- > 0;)
        value = value << 8 | bytes[offset + i];
    return value;
}

FixedFileInfo read_fixed(const VersionNode &root)
{
    if (root.value.size() < kFixedFileInfoSize)
        fail("VS_VERSIONINFO value", std::to_string(kFixedFileInfoSize) + " bytes of VS_FIXEDFILEINFO",
             std::to_string(root.value.size()));
    const std::vector<uint8_t> &v = root.value;
    FixedFileInfo fixed;
    fixed.signature = u32_at(v, 0);
    fixed.struct_version = u32_at(v, 4);
    fixed.file_version_ms = u32_at(v, 8);
    fixed.file_version_ls = u32_at(v, 12);
    fixed.product_version_ms = u32_at(v, 16);
    fixed.product_version_ls = u32_at(v, 20);
    fixed.flags_mask = u32_at(v, 24);
    fixed.flags = u32_at(v, 28);
    fixed.os = u32_at(v, 32);
    fixed.type = u32_at(v, 36);
    fixed.subtype = u32_at(v, 40);
    fixed.date_ms = u32_at(v, 44);
    fixed.date_ls = u32_at(v, 48);
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

std::vector<VersionTranslation> read_translations(const VersionNode &var)
{
    std::vector<VersionTranslation> pairs;
    for (size_t i = 0; i + 4 <= var.value.size(); i += 4)
        pairs.push_back({static_cast<uint16_t>(var.value[i] | var.value[i + 1] << 8),
                         static_cast<uint16_t>(var.value[i + 2] | var.value[i + 3] << 8)});
    return pairs;
}

}  // namespace

std::u16string VersionNode::text() const
{
    std::u16string out;
    for (size_t i = 0; i + 1 < value.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(value[i] | value[i + 1] << 8);
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
