// installer_files.h - the Windows installer of a layout built from its
// source: the release's install.cmd and uninstall.cmd with the lines that
// name the layout (between "rem -- layout --" and "rem -- end of layout --")
// written for it, and nothing else changed.
#pragma once

#include <string>

namespace wendol::cli {

struct InstallerNames {
    std::string product;         // what the scripts call it: the module's name
    std::string dll;             // "mine.dll"
    std::string layout_text;     // the registry's Layout Text
    std::string language;        // four hex digits: the layout key's low half
    std::string language_text;   // the language the keyboard is added to
};

// A product code of the layout's own, the same for every build of the same
// name: a GUID made from the name's hash, never Wendol's.
std::string product_code(const std::string &name);

// Text fit for a set line and an echo of the scripts: printable ASCII
// without the characters the command processor acts on; `fallback` where
// nothing is left.
std::string script_text(const std::u16string &text, const std::string &fallback);

// The script (install.cmd or uninstall.cmd, CRLF lines) with its layout
// block written for `names`; throws Error when the script has no block.
std::string installer_script(const std::string &script, const InstallerNames &names);

// The scripts as the toolkit was built with them.
const std::string &install_script();
const std::string &uninstall_script();

}  // namespace wendol::cli
