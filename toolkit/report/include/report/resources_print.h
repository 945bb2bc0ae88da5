// resources_print.h - the resources a module carries, as text.
#pragma once

#include <ostream>

#include "pe/image.h"
#include "resources/resources.h"

namespace wendol {

// Everything read, as text: the tree, the strings and the version information.
void print_resources(std::ostream &out, const Resources &resources);

// Reads the file's resources and prints them; throws Error if they cannot be
// read.  What `inspect` and `resources` print.
void print_resources(std::ostream &out, const PeFile &file);

}  // namespace wendol
