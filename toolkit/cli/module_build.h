// module_build.h - a .klc source built into its four modules (x86, wow64,
// x64, arm64) by the layout build rule every layout image is built by, in
// a small CMake project of its own.
#pragma once

#include <filesystem>
#include <ostream>
#include <vector>

#include "klc/klc_source.h"

namespace wendol::cli {

// Writes the module's sources into out_dir/source/, builds them in
// out_dir/work/ and copies the modules to out_dir/<variant>/<name>.dll;
// returns their paths in the order x86, wow64, x64, arm64.  What CMake and
// the compilers print goes to `log`.  Needs cmake, clang, lld-link and
// llvm-rc on PATH; throws Error naming a missing one and its Debian
// package, or the step that failed.
std::vector<std::filesystem::path> build_modules(const KlcSource &source,
                                                 const std::filesystem::path &out_dir,
                                                 std::ostream &log);

}  // namespace wendol::cli
