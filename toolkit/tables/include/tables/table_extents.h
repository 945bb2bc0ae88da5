// table_extents.h - the bytes each table occupies in the image, as the
// platform reads them: a list up to and including its end record, a string
// up to and including its NUL, a record to its last field.  From these the
// verifier tells a list that runs into the next table (its end record lost)
// and the size of the layout's content can be told from its padding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tables/tables.h"

namespace wendol {

struct Extent {
    enum class Kind { Record, List, String };
    uint32_t rva = 0;
    uint32_t size = 0;
    std::string what;   // "KBDTABLES", "aVkToWcharTable[5] rows", "aKeyNames[3] name"
    Kind kind = Kind::Record;

    uint64_t end() const { return uint64_t{rva} + size; }
};

// Every table reached from the root record, in reading order.
std::vector<Extent> table_extents(const LayoutTables &tables);

// The number of distinct bytes the extents cover.
uint64_t covered_bytes(std::vector<Extent> extents);

// The far pointer field the reader recorded as `id`, or null if it was not
// read.
const PointerField *find_pointer(const LayoutTables &tables, PointerId id);

}  // namespace wendol
