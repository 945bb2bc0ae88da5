// cmd_xkb.cpp - `wendol xkb FILE [--out DIR]`: the layout for Linux, written
// from the module's tables by typing every key through them: an XKB keymap,
// the symbols, types, rules and registry files that install it under the
// name "wendol", and the Compose file of its dead keys.
#include <filesystem>

#include "base/text.h"
#include "commands.h"
#include "tables/tables.h"
#include "xkb/xkb_layout.h"
#include "xkb/xkb_text.h"

namespace wendol::cli {

namespace {

namespace fs = std::filesystem;

void write_file(const fs::path &path, const std::string &text, std::ostream &out)
{
    write_text_file(path.string(), text, "writing the Linux files");
    out << path.string() << '\n';
}

int run_xkb(std::vector<std::string> args, std::ostream &out)
{
    const std::optional<std::string> out_option = take_option(args, "--out");
    const MappedImage image = load_image_argument(args, xkb_command.synopsis);
    const std::string path = args.at(0);
    const Keymap keymap(read_tables(image));
    const xkb::XkbLayout layout = xkb::xkb_layout(keymap);
    const std::string description = layout_display_name(image, path);
    const fs::path dir = out_option ? fs::path(*out_option) : fs::path("xkb");
    make_folder(dir.string(), "the Linux files' folder");

    write_file(dir / "wendol.xkb", xkb::keymap_text(layout, description), out);
    write_file(dir / "wendol.compose", xkb::compose_text(layout, keymap), out);
    write_file(dir / "symbols" / "wendol", xkb::symbols_text(layout, description), out);
    write_file(dir / "types" / "wendol", xkb::types_text(layout), out);
    write_file(dir / "rules" / "evdev", xkb::rules_text(), out);
    write_file(dir / "rules" / "evdev.xml", xkb::registry_text(description), out);
    for (const xkb::Unmapped &u : layout.unmapped)
        out << "not on Linux: " << xkb::scan_code_text(u.scan) << ": " << u.reason << '\n';
    return 0;
}

}  // namespace

const Command xkb_command = {
    "xkb",
    "FILE [--out DIR] [--base ADDR]",
    "write the layout for Linux by typing every key through the module's tables:\n"
    "      DIR/wendol.xkb (a whole XKB keymap), DIR/wendol.compose (the dead keys),\n"
    "      and DIR/symbols/wendol, DIR/types/wendol, DIR/rules/evdev and\n"
    "      DIR/rules/evdev.xml, which installer/linux/install.sh installs under the\n"
    "      layout name \"wendol\".  DIR is made if missing; without --out it is ./xkb",
    run_xkb,
    "  --out DIR     write the files into DIR (made if missing; default ./xkb)\n",
    "  wendol xkb Wendol.dll --out xkb\n",
};

}  // namespace wendol::cli
