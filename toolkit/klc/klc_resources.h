// klc_resources.h - the resource script and the module definition of a
// module built from a .klc source.
#pragma once

#include <string>

#include "klc/klc_source.h"

namespace wendol {

// layout.rc: the layout's names in string tables (1000 the description,
// 1100 the language's name, 1200 the locale name) and the version
// information.  UTF-8, for llvm-rc -no-preprocess -C 65001: numbers only.
std::string layout_rc(const KlcSource &source);

// layout.def: the module's name and its one export.
std::string layout_def(const KlcSource &source);

}  // namespace wendol
