// cmd_resources.cpp - `wendol resources FILE`: the resource directory, the
// string table and the version information, read from the file as stored.
#include "commands.h"
#include "report/resources_print.h"

namespace wendol::cli {

namespace {

const char *const kSynopsis = "FILE";

int run_resources(std::vector<std::string> args, std::ostream &out)
{
    expect_operands(args, 1, kSynopsis);
    print_resources(out, PeFile::read(args[0]));
    return 0;
}

}  // namespace

extern const Command resources_command;
const Command resources_command = {
    "resources",
    kSynopsis,
    "print the resource directory, the string table and the version information",
    run_resources,
    "",
    "  wendol resources Wendol.dll\n",
};

}  // namespace wendol::cli
