// cmd_xkb.cpp - `wendol xkb FILE [--out DIR] [--name NAME] [--description
// TEXT] [--language CODE]`: the layout for Linux, written from the module's
// tables by typing every key through them: an XKB keymap, the symbols,
// types, rules and registry files that install it under its own name, and
// the Compose file of its dead keys.  What those files cannot carry is named
// on stderr and in the files.
#include <filesystem>
#include <iostream>

#include "base/text.h"
#include "commands.h"
#include "resources/resources.h"
#include "tables/tables.h"
#include "xkb/layout_names.h"
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

// The layout's language as its resources tell it: the locale name string
// first (the layout's own language, whatever language its strings are
// written in), then the version resource's translation, then the string
// table's language.  Resources that cannot be read tell nothing.
std::string resource_language(const MappedImage &image)
{
    if (auto language = xkb::language_of_locale_name(layout_locale_name(image)))
        return *language;
    try {
        const Resources resources = read_resources(image.file());
        for (const VersionResource &v : resources.versions)
            for (const VersionTranslation &t : v.info.translations)
                if (auto language = xkb::language_of_langid(t.language))
                    return *language;
        for (const StringBlock &block : resources.string_blocks)
            if (auto language = xkb::language_of_langid(block.language))
                return *language;
    } catch (const Error &) {
    }
    return "";
}

// What the command line says of the names; checked before the file is read.
struct NameOptions {
    std::optional<std::string> name, description, language;

    explicit NameOptions(std::vector<std::string> &args)
        : name(take_option(args, "--name")), description(take_option(args, "--description")),
          language(take_option(args, "--language"))
    {
        if (name)
            if (const std::optional<std::string> problem = xkb::name_problem(*name))
                throw UsageError("--name \"" + *name + "\" cannot name a layout: " + *problem +
                                 " (a-z, 0-9 and _, not starting with a digit)");
        if (description && description->empty())
            throw UsageError("--description is empty");
        if (language && (language->size() > 3 || !xkb::language_of_locale_name(*language)))
            throw UsageError("--language \"" + *language +
                             "\" is no ISO 639 code the toolkit knows (two letters, \"de\", or "
                             "three, \"deu\")");
    }
};

xkb::LayoutNames layout_names(const NameOptions &options, const MappedImage &image,
                              const std::string &path)
{
    const auto &[name, description, language] = options;
    const std::string display = layout_display_name(image, path);
    const std::string file = fs::path(path).filename().string();

    xkb::LayoutNames names;
    if (name) {
        names.name = *name;
    } else if (auto named = default_layout_name(display, path)) {
        names.name = *named;
    } else {
        throw UsageError("neither the layout's name \"" + display + "\" nor the file name \"" +
                         file + "\" makes an XKB name: give one with --name");
    }
    names.description = description ? *description : display;
    if (language) {
        names.language = *xkb::language_of_locale_name(*language);
    } else {
        names.language = resource_language(image);
    }
    names.origin = file + " (" + display + ")";
    return names;
}

int run_xkb(std::vector<std::string> args, std::ostream &out)
{
    const std::optional<std::string> out_option = take_option(args, "--out");
    const NameOptions name_options(args);
    const MappedImage image = load_image_argument(args, xkb_command.synopsis);
    const std::string path = args.at(0);
    const xkb::LayoutNames names = layout_names(name_options, image, path);
    const Keymap keymap(read_tables(image));
    const xkb::XkbLayout layout = xkb::xkb_layout(keymap);
    const fs::path dir = out_option ? fs::path(*out_option) : fs::path("xkb");
    make_folder(dir.string(), "the Linux files' folder");

    const std::string &n = names.name;
    write_file(dir / (n + ".xkb"), xkb::keymap_text(layout, keymap, names), out);
    const xkb::ComposeFile compose = xkb::compose_file(layout, keymap, names);
    write_file(dir / (n + ".compose"), compose.text, out);
    write_file(dir / "symbols" / n, xkb::symbols_text(layout, keymap, names), out);
    write_file(dir / "types" / n, xkb::types_text(layout, names), out);
    write_file(dir / "rules" / "evdev", xkb::rules_text(names), out);
    write_file(dir / "rules" / "evdev.xml", xkb::registry_text(names), out);
    out.flush();
    std::vector<xkb::Unmapped> left_out = layout.unmapped;
    left_out.insert(left_out.end(), compose.left_out.begin(), compose.left_out.end());
    for (const xkb::Unmapped &u : left_out)
        std::cerr << "wendol xkb: not on Linux: " << xkb::unmapped_text(u, keymap) << '\n';
    if (const std::optional<std::string> notice = nls_notice(image))
        std::cerr << "wendol xkb: " << *notice << '\n';
    return kExitDone;
}

}  // namespace

const Command xkb_command = {
    "xkb",
    "FILE [--out DIR] [--name NAME] [--description TEXT] [--language CODE] [--base ADDR]",
    "write the layout for Linux by typing every key through the module's tables:\n"
    "      DIR/NAME.xkb (a whole XKB keymap), DIR/NAME.compose (the dead keys),\n"
    "      and DIR/symbols/NAME, DIR/types/NAME, DIR/rules/evdev and\n"
    "      DIR/rules/evdev.xml, which installer/linux/install.sh installs under the\n"
    "      layout name NAME.  What Linux cannot carry (keys typing several characters,\n"
    "      the Shift lock, the Kana lock, keys without a Linux key code) is named on\n"
    "      stderr and in the files.  DIR is made if missing; without --out it is ./xkb",
    run_xkb,
    "  --out DIR          write the files into DIR (made if missing; default ./xkb)\n"
    "  --name NAME        the XKB name of the layout and its files: a-z, 0-9 and _, not\n"
    "                     starting with a digit (default: the layout's display name from\n"
    "                     its string resources, lower-cased, else the file name's stem)\n"
    "  --description TEXT the name the desktops list it by (default: the display name)\n"
    "  --language CODE    its ISO 639 language, \"de\" or \"deu\" (default: the language its\n"
    "                     resources give, else none)\n",
    "  wendol xkb Wendol.dll --out xkb\n"
    "  wendol xkb kbdmine.dll --out mine --name mine --description \"My layout\" --language de\n",
};

}  // namespace wendol::cli
