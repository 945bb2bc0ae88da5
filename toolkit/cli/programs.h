// programs.h - the programs the toolkit runs (CMake and the compilers for
// a module, Keyman's compiler for a package): found on the PATH, started
// without a shell so that no path is ever quoted, their output kept.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace wendol::cli {

// The first executable file of that name in a folder of the PATH.
std::optional<std::filesystem::path> on_path(std::string_view name);

// Runs args[0] (looked up on the PATH) with the rest as its arguments, its
// output written to `log_file`; when it does not exit 0, passes the command
// and its output on to `log` and throws Error naming `what`.
void step(const std::vector<std::string> &args, const std::filesystem::path &log_file, std::ostream &log,
          const std::string &what);

}  // namespace wendol::cli
