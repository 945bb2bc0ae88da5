// program.h - the wendol command line: a command name and its arguments.
#pragma once

#include <span>

namespace wendol::cli {

// argv as main() has it; prints to stdout and stderr and returns the exit
// code: 0 done, 1 bad input, 2 a mistake on the command line.
int run_program(std::span<char *> argv);

}  // namespace wendol::cli
