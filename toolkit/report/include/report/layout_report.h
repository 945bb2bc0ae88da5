// layout_report.h - the image and its tables as text a maintainer reads to check
// the module: header fields and flags decoded, sections, directories,
// exports, relocations (each named by the field it patches), checksum, and
// every table row by row with virtual-key names and characters.
#pragma once

#include <ostream>

#include "pe/image.h"
#include "tables/descriptor_call.h"
#include "tables/tables.h"

namespace wendol {

// Headers, sections, directories, exports, relocation count, checksum.
void print_image(std::ostream &out, const MappedImage &image);

// The accessor, the root record, every far pointer with its relocation, the
// relocations on no pointer field, and every table.
void print_layout(std::ostream &out, const MappedImage &image, const DescriptorCall &call,
                  const LayoutTables &tables);

// Both; throws Error (after printing the image) if the tables cannot be read.
void inspect(std::ostream &out, const MappedImage &image);

}  // namespace wendol
