// program.cpp - the command-line program: finds the command and runs it.
#include "cli/program.h"

#include <iostream>

#include "base/error.h"
#include "commands.h"

namespace {

using wendol::cli::Command;

// Every command, in the order --help lists them.  Each is referenced here
// by name, so a command that is misnamed or not built fails to link.
constexpr const Command *kCommands[] = {
    &wendol::cli::inspect_command,   &wendol::cli::type_command,
    &wendol::cli::find_command,      &wendol::cli::names_command,
    &wendol::cli::chart_command,     &wendol::cli::resources_command,
    &wendol::cli::verify_command,    &wendol::cli::xkb_command,
};

void print_usage(std::ostream &out)
{
    out << "usage: wendol COMMAND ARGS...\n"
           "Loads a keyboard layout module as the Windows loader would and reads its tables.\n\n"
           "commands:\n";
    for (const Command *c : kCommands)
        out << "  " << c->name << " " << c->synopsis << "\n      " << c->summary << '\n';
    out << "\nADDR is a mapping base such as 0x90000000; without it the module is mapped at\n"
           "its preferred base.\n";
}

const Command *command_named(std::string_view name)
{
    for (const Command *c : kCommands)
        if (name == c->name)
            return c;
    return nullptr;
}

}  // namespace

namespace wendol::cli {

int run_program(std::span<char *> argv)
{
    if (argv.size() < 2) {
        print_usage(std::cerr);
        return 2;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        print_usage(std::cout);
        return 0;
    }
    const Command *command = command_named(name);
    if (!command) {
        std::cerr << "wendol: unknown command \"" << name << "\" (see wendol --help)\n";
        return 2;
    }
    std::vector<std::string> args(argv.begin() + 2, argv.end());
    if (wendol::cli::take_flag(args, "--help")) {
        std::cout << "usage: wendol " << command->name << " " << command->synopsis << "\n  "
                  << command->summary << '\n';
        return 0;
    }
    try {
        return command->run(std::move(args), std::cout);
    } catch (const wendol::cli::UsageError &e) {
        std::cerr << "wendol " << command->name << ": " << e.what() << '\n';
        return 2;
    } catch (const wendol::Error &e) {
        std::cout.flush();
        std::cerr << "wendol " << command->name << ": " << e.what() << '\n';
        return 1;
    }
}

}  // namespace wendol::cli
