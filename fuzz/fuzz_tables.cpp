// fuzz_tables.cpp - libFuzzer over the table reader behind the accessor:
// interpreting KbdLayerDescriptor's body, reading every table through the
// far pointers at two bases, and the extents and rows the verifier and the
// report build on.  An input may be refused
// (wendol::Error); anything else that escapes, and every sanitizer report,
// is a fault of the toolkit.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "tables/char_rows.h"
#include "tables/table_extents.h"
#include "tables/tables.h"

namespace {

void read_at(const wendol::MappedImage &image)
{
    const wendol::LayoutTables tables = wendol::read_tables(image);
    (void)wendol::covered_bytes(wendol::table_extents(tables));
    for (const wendol::CharTable &table : tables.char_tables)
        (void)wendol::row_parts(table);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto file = wendol::fuzz::read_input(data, size);
    if (!file)
        return 0;
    for (const uint64_t base : wendol::fuzz::bases(*file)) {
        const auto image = wendol::fuzz::map_input(*file, base);
        try {
            if (image)
                read_at(*image);
        } catch (const wendol::Error &) {
        }
    }
    return 0;
}
