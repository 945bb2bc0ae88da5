// wendol.cpp - the command-line program: finds the command and runs it.
// Exit codes: 0 done, 1 bad input (the message says what was expected and
// what was found), 2 a mistake on the command line.
#include <iostream>
#include <span>

#include "commands.h"
#include "error.h"

namespace {

using wendol::cli::Command;

// The commands this program was built with, in the order --help lists them.
std::vector<const Command *> built_in_commands()
{
    const Command *const known[] = {
        &wendol::cli::inspect_command,   &wendol::cli::type_command,
        &wendol::cli::find_command,      &wendol::cli::names_command,
        &wendol::cli::chart_command,     &wendol::cli::resources_command,
        &wendol::cli::verify_command,
    };
    std::vector<const Command *> out;
    for (const Command *c : known)
        if (c)
            out.push_back(c);
    return out;
}

void print_usage(std::ostream &out, const std::vector<const Command *> &commands)
{
    out << "usage: wendol COMMAND ARGS...\n"
           "Loads a keyboard layout module as the Windows loader would and reads its tables.\n\n"
           "commands:\n";
    for (const Command *c : commands)
        out << "  " << c->name << " " << c->synopsis << "\n      " << c->summary << '\n';
    out << "\nADDR is a mapping base such as 0x90000000; without it the module is mapped at\n"
           "its preferred base.\n";
}

const Command *find_command(const std::vector<const Command *> &commands, std::string_view name)
{
    for (const Command *c : commands)
        if (name == c->name)
            return c;
    return nullptr;
}

int run(std::span<char *> argv)
{
    const std::vector<const Command *> commands = built_in_commands();
    if (argv.size() < 2) {
        print_usage(std::cerr, commands);
        return 2;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        print_usage(std::cout, commands);
        return 0;
    }
    const Command *command = find_command(commands, name);
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

}  // namespace

int main(int argc, char **argv)
{
    return run(std::span<char *>(argv, static_cast<size_t>(argc)));
}
