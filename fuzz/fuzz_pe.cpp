// fuzz_pe.cpp - libFuzzer over the PE reader and the mapper: the headers,
// the section table, the base relocations and the export directory, the
// checksum, mapping at two bases and resolving the layout's export.  An
// input may be refused (wendol::Error); anything else that escapes, and
// every sanitizer report, is a fault of the toolkit.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto file = wendol::fuzz::read_input(data, size);
    if (!file)
        return 0;
    (void)file->computed_checksum();
    for (const uint64_t base : wendol::fuzz::bases(*file)) {
        const auto image = wendol::fuzz::map_input(*file, base);
        if (!image)
            continue;
        try {
            (void)image->rva_of(image->export_address("KbdLayerDescriptor"), "the export");
        } catch (const wendol::Error &) {
        }
    }
    return 0;
}
