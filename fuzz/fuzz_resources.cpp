// fuzz_resources.cpp - libFuzzer over the resource tree and the blocks it
// leads to: every leaf's data is parsed as a string block and as a version
// resource, whatever its type says, and the whole is printed as the
// resources command prints it.  An input may be refused (wendol::Error);
// anything else that escapes, and every sanitizer report, is a fault of
// the toolkit.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "report/resources_print.h"
#include "resources/resources.h"

namespace {

void parse_each_leaf(const wendol::PeFile &file)
{
    const wendol::ResourceTree tree = wendol::read_resource_tree(file);
    for (const wendol::ResourceEntry &entry : tree.entries) {
        try {
            const auto data = wendol::resource_data(file, entry);
            try {
                (void)wendol::parse_string_block(data, 1, entry.language.id);
            } catch (const wendol::Error &) {
            }
            (void)wendol::read_version_info(data);
        } catch (const wendol::Error &) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto file = wendol::fuzz::read_input(data, size);
    if (!file)
        return 0;
    try {
        parse_each_leaf(*file);
    } catch (const wendol::Error &) {
    }
    wendol::fuzz::Nowhere out;
    try {
        wendol::print_resources(out, *file);
    } catch (const wendol::Error &) {
    }
    return 0;
}
