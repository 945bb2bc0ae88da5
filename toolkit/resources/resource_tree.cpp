// resource_tree.cpp - the .rsrc directory tree: three levels of directories
// (type, name, language) ending in data entries.  Offsets inside the tree are
// from the start of the resource directory; the data entries hold RVAs.
#include <array>

#include "base/byte_view.h"
#include "base/error.h"
#include "pe/file_rva.h"
#include "pe/pe_format.h"
#include "resources/resources.h"

namespace wendol {
namespace {

constexpr uint32_t kDirectoryHeaderSize = 16;   // IMAGE_RESOURCE_DIRECTORY
constexpr uint32_t kDirectoryEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;         // IMAGE_RESOURCE_DATA_ENTRY
constexpr uint32_t kHighBit = 0x80000000;       // named entry / subdirectory
constexpr unsigned kLevels = 3;

// Three levels of 8-byte entries could still multiply out to millions of
// visits through shared subdirectories; a real module has a handful.
constexpr size_t kMaxDirectories = 4096;
constexpr size_t kMaxLeaves = 4096;

const char *level_name(unsigned level)
{
    static constexpr const char *names[kLevels] = {"type", "name", "language"};
    return names[level];
}

// Languages read best in hex (0x0419), types and names in decimal.
std::string describe(const ResourceKey &key, bool language = false)
{
    if (!key.named)
        return language ? hex(key.id, 4) : std::to_string(key.id);
    std::string ascii;
    for (char16_t c : key.name)
        ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return "\"" + ascii + "\"";
}

class TreeReader {
public:
    TreeReader(const ByteView &block, std::vector<ResourceEntry> &leaves)
        : block_(block), leaves_(leaves)
    {
    }

    void walk(uint32_t offset, unsigned level)
    {
        const std::string where = place(level);
        if (++directories_ > kMaxDirectories)
            fail(where, "at most " + std::to_string(kMaxDirectories) + " directories in the tree",
                 "more");
        const uint16_t named = block_.u16(offset + 12, where + " named-entry count");
        const uint16_t ids = block_.u16(offset + 14, where + " ID-entry count");
        const uint32_t count = uint32_t{named} + ids;
        block_.bytes(offset + kDirectoryHeaderSize, uint64_t{count} * kDirectoryEntrySize,
                     where + " entries");
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t entry = offset + kDirectoryHeaderSize + i * kDirectoryEntrySize;
            path_[level] = read_key(entry, where);
            const uint32_t target = block_.u32(entry + 4, where + " entry target");
            const bool subdirectory = (target & kHighBit) != 0;
            if (level + 1 < kLevels) {
                if (!subdirectory)
                    fail(place(level + 1), "a subdirectory below the " +
                                               std::string(level_name(level)) + " level",
                         "a data entry");
                walk(target & ~kHighBit, level + 1);
            } else {
                if (subdirectory)
                    fail(place(level + 1), "a data entry below the language level",
                         "another subdirectory");
                read_leaf(target);
            }
        }
    }

private:
    // "resource directory, type 6, name 63" for the directory at `level`.
    std::string place(unsigned level) const
    {
        std::string text = "resource directory";
        for (unsigned i = 0; i < level; ++i)
            text += std::string(", ") + level_name(i) + " " + describe(path_[i], i == 2);
        return text;
    }

    ResourceKey read_key(uint32_t entry, const std::string &where) const
    {
        const uint32_t field = block_.u32(entry, where + " entry name");
        ResourceKey key;
        if ((field & kHighBit) == 0) {
            if (field > 0xFFFF)
                fail(where + " entry name", "an ID of 16 bits", hex(field));
            key.id = static_cast<uint16_t>(field);
            return key;
        }
        key.named = true;
        const uint32_t at = field & ~kHighBit;
        const uint16_t length = block_.u16(at, where + " entry name length");
        key.name = block_.utf16(uint64_t{at} + 2, length, where + " entry name text");
        return key;
    }

    void read_leaf(uint32_t offset)
    {
        const std::string where = place(kLevels) + " data entry";
        if (leaves_.size() >= kMaxLeaves)
            fail(where, "at most " + std::to_string(kMaxLeaves) + " resources", "more");
        block_.bytes(offset, kDataEntrySize, where);
        ResourceEntry leaf;
        leaf.type = path_[0];
        leaf.name = path_[1];
        leaf.language = path_[2];
        leaf.data_rva = block_.u32(offset, where);
        leaf.size = block_.u32(offset + 4, where);
        leaf.code_page = block_.u32(offset + 8, where);
        leaves_.push_back(std::move(leaf));
    }

    const ByteView &block_;
    std::vector<ResourceEntry> &leaves_;
    std::array<ResourceKey, kLevels> path_;
    size_t directories_ = 0;
};

DataDirectory resource_directory(const PeFile &file)
{
    const std::vector<DataDirectory> &directories = file.headers().directories;
    if (directories.size() <= pe::kDirResource)
        return {};
    return directories[pe::kDirResource];
}

}  // namespace

ResourceTree read_resource_tree(const PeFile &file)
{
    const DataDirectory directory = resource_directory(file);
    ResourceTree tree{directory.rva, directory.size, {}};
    if (directory.rva == 0 && directory.size == 0)
        return tree;

    const ByteView whole(file.bytes(), "file offset", "the file");
    const FileRva rva(whole, file.sections(), file.headers().size_of_headers);
    const uint64_t offset = rva.offset(directory.rva, directory.size, "resource directory");
    const ByteView block(whole.bytes(offset, directory.size, "resource directory"),
                         "resource directory offset", "the resource directory");
    TreeReader(block, tree.entries).walk(0, 0);
    return tree;
}

std::span<const uint8_t> resource_data(const PeFile &file, const ResourceEntry &entry)
{
    const std::string what = "resource data of type " + describe(entry.type) + ", name " +
                             describe(entry.name) + ", language " + describe(entry.language, true);
    const ByteView whole(file.bytes(), "file offset", "the file");
    const FileRva rva(whole, file.sections(), file.headers().size_of_headers);
    return whole.bytes(rva.offset(entry.data_rva, entry.size, what), entry.size, what);
}

}  // namespace wendol
