// resources_print.cpp - the resources as text: the tree's leaves, every
// string block, and each version resource both as the version functions
// serve it and node by node as stored.
#include <ostream>

#include "base/error.h"
#include "base/text.h"
#include "report/resources_print.h"

namespace wendol {
namespace {

const char *resource_type_name(uint16_t type)
{
    switch (type) {
    case 1: return "RT_CURSOR";
    case 2: return "RT_BITMAP";
    case 3: return "RT_ICON";
    case 4: return "RT_MENU";
    case 5: return "RT_DIALOG";
    case 6: return "RT_STRING";
    case 7: return "RT_FONTDIR";
    case 8: return "RT_FONT";
    case 9: return "RT_ACCELERATOR";
    case 10: return "RT_RCDATA";
    case 11: return "RT_MESSAGETABLE";
    case 12: return "RT_GROUP_CURSOR";
    case 14: return "RT_GROUP_ICON";
    case 16: return "RT_VERSION";
    case 24: return "RT_MANIFEST";
    default: return nullptr;
    }
}

const char *file_os_name(uint32_t os)
{
    switch (os) {
    case 0x00000000: return "VOS_UNKNOWN";
    case 0x00000004: return "VOS__WINDOWS32";
    case 0x00010001: return "VOS_DOS_WINDOWS16";
    case 0x00010004: return "VOS_DOS_WINDOWS32";
    case 0x00040000: return "VOS_NT";
    case 0x00040004: return "VOS_NT_WINDOWS32";
    default: return nullptr;
    }
}

const char *file_type_name(uint32_t type)
{
    switch (type) {
    case 0: return "VFT_UNKNOWN";
    case 1: return "VFT_APP";
    case 2: return "VFT_DLL";
    case 3: return "VFT_DRV";
    case 4: return "VFT_FONT";
    case 5: return "VFT_VXD";
    case 7: return "VFT_STATIC_LIB";
    default: return nullptr;
    }
}

// Subtypes mean something only for drivers and fonts; DLLs that are drivers
// (a keyboard layout) use the driver subtypes too.
const char *file_subtype_name(uint32_t type, uint32_t subtype)
{
    static constexpr const char *drivers[] = {
        "VFT2_UNKNOWN",          "VFT2_DRV_PRINTER", "VFT2_DRV_KEYBOARD",
        "VFT2_DRV_LANGUAGE",     "VFT2_DRV_DISPLAY", "VFT2_DRV_MOUSE",
        "VFT2_DRV_NETWORK",      "VFT2_DRV_SYSTEM",  "VFT2_DRV_INSTALLABLE",
        "VFT2_DRV_SOUND",        "VFT2_DRV_COMM",    "VFT2_DRV_INPUTMETHOD",
        "VFT2_DRV_VERSIONED_PRINTER"};
    static constexpr const char *fonts[] = {"VFT2_UNKNOWN", "VFT2_FONT_RASTER",
                                            "VFT2_FONT_VECTOR", "VFT2_FONT_TRUETYPE"};
    if ((type == 2 || type == 3) && subtype < std::size(drivers))
        return drivers[subtype];
    if (type == 4 && subtype < std::size(fonts))
        return fonts[subtype];
    return nullptr;
}

std::string with_name(uint64_t value, int digits, const char *name)
{
    std::string text = digits ? hex(value, digits) : std::to_string(value);
    return name ? text + " (" + name + ")" : text;
}

std::string key_text(const ResourceKey &key)
{
    return key.named ? quoted(key.name) : std::to_string(key.id);
}

void print_tree(std::ostream &out, const ResourceTree &tree)
{
    out << "Resource directory: RVA " << hex(tree.rva) << ", " << hex(tree.size) << " bytes, "
        << tree.entries.size() << " resources\n";
    for (const ResourceEntry &e : tree.entries) {
        out << "  type " << key_text(e.type);
        if (const char *name = e.type.named ? nullptr : resource_type_name(e.type.id))
            out << " (" << name << ")";
        out << ", name " << key_text(e.name) << ", language "
            << (e.language.named ? quoted(e.language.name) : hex(e.language.id, 4)) << ": RVA "
            << hex(e.data_rva) << ", " << e.size << " bytes, code page " << e.code_page << "\n";
    }
}

void print_string_block(std::ostream &out, const StringBlock &block)
{
    out << "  block " << block.block << ", language " << hex(block.language, 4) << ": IDs "
        << block.first_id() << " to " << block.first_id() + 15 << ", " << block.used_bytes
        << " of " << block.data_size << " bytes\n";
    size_t empty = 0;
    for (size_t i = 0; i < block.strings.size(); ++i) {
        if (block.strings[i].empty()) {
            ++empty;
            continue;
        }
        out << "    " << block.first_id() + i << " " << quoted(block.strings[i]) << "\n";
    }
    out << "    (" << empty << " empty)\n";
}

void print_fixed(std::ostream &out, const FixedFileInfo &f)
{
    out << "  VS_FIXEDFILEINFO\n"
        << "    signature        " << hex(f.signature, 8) << "\n"
        << "    struct version   " << hex(f.struct_version, 8) << "\n"
        << "    file version     " << version_quad(f.file_version_ms, f.file_version_ls) << "\n"
        << "    product version  " << version_quad(f.product_version_ms, f.product_version_ls)
        << "\n"
        << "    flags mask       " << hex(f.flags_mask, 2) << "\n"
        << "    flags            " << hex(f.flags, 2) << "\n"
        << "    OS               " << with_name(f.os, 8, file_os_name(f.os)) << "\n"
        << "    type             " << with_name(f.type, 0, file_type_name(f.type)) << "\n"
        << "    subtype          "
        << with_name(f.subtype, 0, file_subtype_name(f.type, f.subtype)) << "\n"
        << "    date             " << hex(f.date_ms, 8) << " " << hex(f.date_ls, 8) << "\n";
}

void print_version_strings(std::ostream &out, const VersionInfo &info)
{
    for (const VersionStringTable &table : info.string_tables) {
        out << "  StringFileInfo " << quoted(table.key) << "\n";
        size_t width = 0;
        for (const VersionString &s : table.strings)
            width = std::max(width, utf8(s.key).size());
        for (const VersionString &s : table.strings) {
            const std::string key = utf8(s.key);
            out << "    " << key << std::string(width - key.size() + 2, ' ') << quoted(s.value)
                << "\n";
        }
    }
    out << "  VarFileInfo Translation";
    if (info.translations.empty())
        out << " (none)";
    for (const VersionTranslation &t : info.translations)
        out << " " << hex(t.language, 4) << " " << hex(t.code_page, 4);
    out << "\n";
}

// The stored fields of every node, so that a difference in lengths, types or
// padding shows.
void print_node(std::ostream &out, const VersionNode &node, int depth)
{
    out << std::string(4 + 2 * depth, ' ') << quoted(node.key) << ": wLength " << node.length
        << ", wValueLength " << node.value_length << ", wType " << node.type;
    if (!node.value.empty())
        out << ", value at " << hex(node.value_offset);
    if (node.type == 1 && !node.value.empty())
        out << " " << quoted(node.text());
    if (node.type == 0 && !node.value.empty() && node.value.size() <= 16)
        for (uint8_t byte : node.value)
            out << " " << hex(byte, 2).substr(2);
    out << "\n";
    for (const VersionNode &child : node.children)
        print_node(out, child, depth + 1);
}

void print_version(std::ostream &out, const VersionResource &version)
{
    out << "Version information: name " << key_text(version.entry.name) << ", language "
        << (version.entry.language.named ? quoted(version.entry.language.name)
                                         : hex(version.entry.language.id, 4))
        << ", " << version.entry.size << " bytes\n";
    if (version.info.fixed)
        print_fixed(out, *version.info.fixed);
    else
        out << "  VS_FIXEDFILEINFO (none)\n";
    print_version_strings(out, version.info);
    out << "  nodes as stored\n";
    print_node(out, version.info.root, 0);
}

}  // namespace

void print_resources(std::ostream &out, const Resources &resources)
{
    print_tree(out, resources.tree);
    out << "String table: " << resources.string_blocks.size() << " blocks\n";
    for (const StringBlock &block : resources.string_blocks)
        print_string_block(out, block);
    for (const VersionResource &version : resources.versions)
        print_version(out, version);
}

void print_resources(std::ostream &out, const PeFile &file)
{
    print_resources(out, read_resources(file));
}

}  // namespace wendol
