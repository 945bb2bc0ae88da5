// commands.h - the command-line program's commands.  Each command lives in
// its own cmd_<name>.cpp, includes this header and defines its Command
// object (e.g. `const Command type_command = {...};`); program.cpp lists them.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "pe/image.h"

namespace wendol::cli {

// A mistake on the command line (exit code 2); Error means bad input (1).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What every command's exit status means.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;   // the file was refused, a finding failed, no way to type it
constexpr int kExitUsage = 2;    // the command line was wrong, a bad key name included

struct Command {
    const char *name;
    const char *synopsis;   // the arguments: "FILE [--base ADDR]"
    const char *summary;    // what it does, for --help
    // The arguments after the command's name; returns the exit code.
    int (*run)(std::vector<std::string> args, std::ostream &out);
    // For `wendol help NAME`: its options, one "  --flag  what" line each
    // (--base, which the synopsis names, is told for every command alike),
    // and example command lines.
    const char *options = "";
    const char *examples = "";
};


extern const Command inspect_command;
extern const Command type_command;
extern const Command find_command;
extern const Command names_command;
extern const Command chart_command;
extern const Command resources_command;
extern const Command verify_command;
extern const Command xkb_command;
extern const Command checksum_command;
extern const Command keyman_command;
extern const Command klc_command;
extern const Command build_command;

// Removes "--name VALUE" (or "--name=VALUE") from `args` and returns VALUE.
std::optional<std::string> take_option(std::vector<std::string> &args, std::string_view name);

// Removes "--name" from `args`; true if it was there.
bool take_flag(std::vector<std::string> &args, std::string_view name);

// Throws UsageError unless `args` holds exactly `count` operands (no options).
void expect_operands(const std::vector<std::string> &args, size_t count, const char *synopsis);

// "0x90000000" or a decimal number; throws UsageError.
uint64_t parse_address(std::string_view text);

// Reads and maps the module, at the --base value (read by parse_address) or
// at its preferred base.
MappedImage load_image(const std::string &path, const std::optional<std::string> &base);

// The line `type` and `find` print for a layout that exports
// KbdNlsLayerDescriptor, whose NLS handling the engine does not model;
// nothing for any other.
std::optional<std::string> nls_notice(const MappedImage &image);

// The common "FILE [--base ADDR]": takes --base from `args` and maps the file.
MappedImage load_image_argument(std::vector<std::string> &args, const char *synopsis);

// The layout's display name from its string resources, or the file's stem
// where the module has none or they cannot be read.
std::string layout_display_name(const MappedImage &image, const std::string &path);

// The locale name the layout's string resources give ("en-US"), or "" where
// it has none or they cannot be read.
std::string layout_locale_name(const MappedImage &image);

// The name a layout's files are written under when none is given: its
// display name made a name (a-z, 0-9 and _), else its file name's stem;
// nothing where neither makes one.
std::optional<std::string> default_layout_name(const std::string &display, const std::string &path);

// Makes the folder (and those above it); `what` names it in the error.
void make_folder(const std::string &dir, const std::string &what);

// Writes the text to the file, making its folder; `what` names the output
// in the error.
void write_text_file(const std::string &path, const std::string &text, const std::string &what);

}  // namespace wendol::cli
