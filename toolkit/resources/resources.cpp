// resources.cpp - the tree, then each string block and version resource it
// leads to.
#include "resources/resources.h"

#include "base/error.h"

namespace wendol {
namespace {

// String blocks are named by number; a block under a text name is nothing
// LoadString could reach.
uint16_t string_block_number(const ResourceEntry &entry)
{
    if (entry.name.named || entry.name.id == 0)
        fail("RT_STRING resource name", "a block number from 1", entry.name.named ? "a text name" : "0");
    return entry.name.id;
}

}  // namespace

Resources read_resources(const PeFile &file)
{
    Resources resources;
    resources.tree = read_resource_tree(file);
    for (const ResourceEntry &entry : resources.tree.entries) {
        if (entry.type.is(kRtString))
            resources.string_blocks.push_back(parse_string_block(
                resource_data(file, entry), string_block_number(entry),
                entry.language.named ? 0 : entry.language.id));
        else if (entry.type.is(kRtVersion))
            resources.versions.push_back({entry, read_version_info(resource_data(file, entry))});
    }
    return resources;
}

std::optional<std::u16string> Resources::string(uint32_t id) const
{
    if (id > 0xFFFF)
        return std::nullopt;
    const uint32_t block = id / 16 + 1;
    for (const StringBlock &b : string_blocks)
        if (b.block == block)
            return b.strings[id % 16];
    return std::nullopt;
}

}  // namespace wendol
