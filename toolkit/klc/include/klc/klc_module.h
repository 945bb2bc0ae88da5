// klc_module.h - the sources of the module a .klc source builds: C tables
// over layout/kbd.h in the form of the layout's own, the resource script
// and the module definition, ready for the one rule every layout image is
// built by (cmake/layout_rule.cmake).
#pragma once

#include <string>
#include <vector>

#include "klc/klc_source.h"

namespace wendol {

struct SourceFile {
    std::string name;   // "tables.c", "layout.rc", "layout.def"
    std::string text;   // UTF-8
};

// Throws Error where the source asks for what no module can hold (the
// place is the LAYOUT line).
std::vector<SourceFile> module_sources(const KlcSource &source);

}  // namespace wendol
