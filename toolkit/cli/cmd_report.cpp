// cmd_report.cpp - `wendol inspect FILE [--base ADDR]`: the image's shape and
// every table, as text.
#include "commands.h"
#include "report/layout_report.h"

namespace wendol::cli {

namespace {

int run_inspect(std::vector<std::string> args, std::ostream &out)
{
    const MappedImage image = load_image_argument(args, inspect_command.synopsis);
    inspect(out, image);
    return 0;
}

}  // namespace

const Command inspect_command = {
    "inspect",
    "FILE [--base ADDR]",
    "print the image's headers, sections, relocations and every table",
    run_inspect,
    "",
    "  wendol inspect Wendol.dll --base 0x90000000\n",
};

}  // namespace wendol::cli
