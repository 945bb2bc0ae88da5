// program.cpp - the command-line program: finds the command and runs it.
#include "cli/program.h"

#include <iostream>

#include "base/error.h"
#include "commands.h"

namespace {

using namespace wendol::cli;

// Every command, in the order --help lists them.  Each is referenced here
// by name, so a command that is misnamed or not built fails to link.
constexpr const Command *kCommands[] = {
    &wendol::cli::inspect_command,   &wendol::cli::type_command,
    &wendol::cli::find_command,      &wendol::cli::names_command,
    &wendol::cli::chart_command,     &wendol::cli::resources_command,
    &wendol::cli::verify_command,    &wendol::cli::xkb_command,
    &wendol::cli::checksum_command, &wendol::cli::keyman_command,
    &wendol::cli::klc_command,      &wendol::cli::build_command,
};

constexpr const char *kExitStatus =
    "exit status: 0 done; 1 the file was refused, a finding failed the run, or (find)\n"
    "the character cannot be typed; 2 the command line was wrong, a bad key name\n"
    "included\n";

void print_usage(std::ostream &out)
{
    out << "usage: wendol COMMAND ARGS...\n"
           "       wendol help COMMAND | wendol COMMAND --help | wendol --version\n"
           "Loads a keyboard layout module as the Windows loader would and reads its tables.\n\n"
           "commands:\n";
    for (const Command *c : kCommands)
        out << "  " << c->name << " " << c->synopsis << "\n      " << c->summary << '\n';
    out << "\nADDR is a mapping base such as 0x90000000; without it the module is mapped at\n"
           "its preferred base.\n\n"
        << kExitStatus;
}

// One command's own usage, options and examples.
void print_command_usage(std::ostream &out, const Command &c)
{
    out << "usage: wendol " << c.name << " " << c.synopsis << "\n\n      " << c.summary
        << "\n\noptions:\n"
        << c.options;
    if (std::string_view(c.synopsis).find("--base ADDR") != std::string_view::npos)
        out << "  --base ADDR   map the image at ADDR (0x90000000 or decimal) instead of its\n"
               "                preferred base, relocating it as the loader would\n";
    out << "  -h, --help    print this help\n";
    if (*c.examples)
        out << "\nexamples:\n" << c.examples;
    out << '\n' << kExitStatus;
}

void print_version(std::ostream &out)
{
    out << "wendol " << WENDOL_VERSION << '\n';
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
        return kExitUsage;
    }
    const std::string_view name = argv[1];
    if (name == "--version" || name == "-V") {
        print_version(std::cout);
        return kExitDone;
    }
    const bool asks_help = name == "help";
    if ((asks_help && argv.size() == 2) || name == "--help" || name == "-h") {
        print_usage(std::cout);
        return kExitDone;
    }
    const std::string_view command_name = asks_help ? std::string_view(argv[2]) : name;
    const Command *command = command_named(command_name);
    if (!command) {
        std::cerr << "wendol: unknown command \"" << command_name << "\" (see wendol --help)\n";
        return kExitUsage;
    }
    std::vector<std::string> args(argv.begin() + (asks_help ? 3 : 2), argv.end());
    if (asks_help || take_flag(args, "--help") || take_flag(args, "-h")) {
        print_command_usage(std::cout, *command);
        return kExitDone;
    }
    try {
        return command->run(std::move(args), std::cout);
    } catch (const wendol::cli::UsageError &e) {
        std::cerr << "wendol " << command->name << ": " << e.what() << " (see wendol help "
                  << command->name << ")\n";
        return kExitUsage;
    } catch (const wendol::Error &e) {
        std::cout.flush();
        std::cerr << "wendol " << command->name << ": " << e.what() << '\n';
        return kExitFailed;
    }
}

}  // namespace wendol::cli
