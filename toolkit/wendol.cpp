// wendol.cpp - the command-line program.
// Exit codes: 0 done, 1 bad input (the message says what was expected and
// what was found), 2 a mistake on the command line.
#include <span>

#include "cli/program.h"

int main(int argc, char **argv)
{
    return wendol::cli::run_program(std::span<char *>(argv, static_cast<size_t>(argc)));
}
