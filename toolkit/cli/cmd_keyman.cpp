// cmd_keyman.cpp - `wendol keyman FILE [--out DIR] [--name ID] [--description
// TEXT] [--language TAG]`: the layout as a Keyman keyboard, written from the
// module's tables by typing every key through them: the keyboard source
// (ID.kmn) and its touch layout (ID.keyman-touch-layout), which Keyman's
// compiler makes the desktop, web and phone keyboards of.  What Keyman
// cannot carry is named on stderr and in the source.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>

#include "base/text.h"
#include "commands.h"
#include "keyman/keyman_layout.h"
#include "keyman/kmn_text.h"
#include "keyman/package_text.h"
#include "resources/resources.h"
#include "tables/tables.h"

namespace wendol::cli {

namespace {

namespace fs = std::filesystem;

struct VersionFacts {
    std::string version = "1.0", copyright;
};

// The file version, as Keyman writes a keyboard's ("1.0", "2.1.3": dotted
// numbers, trailing zero parts after the second dropped), and the
// copyright text, from the version resource where the module has one.
VersionFacts version_facts(const MappedImage &image)
{
    VersionFacts facts;
    try {
        const Resources resources = read_resources(image.file());
        for (const VersionResource &v : resources.versions) {
            if (v.info.fixed) {
                std::string quad = version_quad(v.info.fixed->file_version_ms, v.info.fixed->file_version_ls);
                while (quad.size() > 3 && quad.ends_with(".0") &&
                       std::count(quad.begin(), quad.end(), '.') > 1)
                    quad.resize(quad.size() - 2);
                facts.version = quad;
            }
            for (const VersionStringTable &t : v.info.string_tables)
                for (const VersionString &s : t.strings)
                    if (s.key == u"LegalCopyright" && facts.copyright.empty())
                        facts.copyright = utf8(s.value);
            break;
        }
    } catch (const Error &) {
    }
    return facts;
}

// A BCP 47 tag as Keyman takes one: letters, digits and hyphens, starting
// with two or three letters.
bool language_tag(const std::string &tag)
{
    size_t letters = 0;
    while (letters < tag.size() && std::isalpha(static_cast<unsigned char>(tag[letters])))
        ++letters;
    return (letters == 2 || letters == 3) &&
           std::all_of(tag.begin(), tag.end(), [](char c) {
               return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
           }) && !tag.ends_with("-");
}

int run_keyman(std::vector<std::string> args, std::ostream &out)
{
    const std::optional<std::string> out_option = take_option(args, "--out");
    const std::optional<std::string> id = take_option(args, "--name");
    const std::optional<std::string> description = take_option(args, "--description");
    const std::optional<std::string> language = take_option(args, "--language");
    const std::optional<std::string> chart = take_option(args, "--chart");
    if (id && !keyman::valid_id(*id))
        throw UsageError("--name \"" + *id + "\" cannot name a Keyman keyboard (a-z, 0-9 and _, "
                         "not starting with a digit)");
    if (description && description->empty())
        throw UsageError("--description is empty");
    if (language && !language_tag(*language))
        throw UsageError("--language \"" + *language + "\" is no BCP 47 language tag (\"en\", \"de-CH\")");
    const MappedImage image = load_image_argument(args, keyman_command.synopsis);
    const std::string path = args.at(0);

    keyman::KeyboardNames names;
    const std::string display = layout_display_name(image, path);
    if (id) {
        names.id = *id;
    } else if (auto named = default_layout_name(display, path)) {
        names.id = *named;
    } else {
        throw UsageError("neither the layout's name \"" + display + "\" nor the file name makes a "
                         "Keyman keyboard name: give one with --name");
    }
    names.name = description ? *description : display;
    // The module's locale name reduced to its language, the tag Keyman's
    // package lists it under: "en-US" is "en".
    const std::string locale = layout_locale_name(image);
    names.language = language ? *language : locale.substr(0, locale.find('-'));
    if (!names.language.empty() && !language_tag(names.language))
        names.language.clear();
    const VersionFacts facts = version_facts(image);
    names.version = facts.version;
    names.copyright = facts.copyright;
    names.origin = fs::path(path).filename().string() + " (" + display + ")";

    const Keymap keymap(read_tables(image));
    const keyman::KeymanLayout layout = keyman::keyman_layout(keymap);
    const fs::path dir = out_option ? fs::path(*out_option) : fs::path("keyman");
    make_folder(dir.string(), "the Keyman keyboard's folder");
    const auto write = [&](const fs::path &file, const std::string &text) {
        write_text_file(file.string(), text, "writing the Keyman keyboard");
        out << file.string() << '\n';
    };
    write(dir / (names.id + ".kmn"), keyman::kmn_text(layout, names));
    write(dir / (names.id + ".keyman-touch-layout"), keyman::touch_layout_text(layout));
    if (chart) {
        const fs::path copy = dir / (names.id + "-chart.htm");
        std::error_code error;
        fs::copy_file(*chart, copy, fs::copy_options::overwrite_existing, error);
        if (error)
            throw Error("copying the chart " + *chart + " into the package: " + error.message());
        out << copy.string() << '\n';
    }
    write(dir / (names.id + ".kps"), keyman::package_source_text(names, chart.has_value()));
    write(dir / "welcome.htm", keyman::welcome_text(layout, names, chart.has_value()));
    out.flush();
    if (names.language.empty())
        std::cerr << "wendol keyman: the layout names no language: the package needs one "
                     "(--language)\n";
    for (const keyman::Unwritten &u : layout.unwritten)
        std::cerr << "wendol keyman: not in Keyman: " << keyman::unwritten_text(u) << '\n';
    if (const std::optional<std::string> notice = nls_notice(image))
        std::cerr << "wendol keyman: " << *notice << '\n';
    return kExitDone;
}

}  // namespace

const Command keyman_command = {
    "keyman",
    "FILE [--out DIR] [--name ID] [--description TEXT] [--language TAG] [--chart HTML] [--base ADDR]",
    "write the layout as a Keyman keyboard by typing every key through the module's\n"
    "      tables: DIR/ID.kmn (the keyboard source: every key by its position, each\n"
    "      modifier state and Caps Lock as the tables make them, the dead keys with\n"
    "      their compositions) and DIR/ID.keyman-touch-layout (phones and tablets),\n"
    "      which Keyman's compiler turns into the desktop and web keyboards, and\n"
    "      DIR/ID.kps with DIR/welcome.htm, the source of the package that installs\n"
    "      them in every Keyman app.  What Keyman cannot carry is named on stderr\n"
    "      and in the source.  DIR is made if missing; without --out it is ./keyman",
    run_keyman,
    "  --out DIR          write the files into DIR (made if missing; default ./keyman)\n"
    "  --name ID          the keyboard's identifier and file name: a-z, 0-9 and _, not\n"
    "                     starting with a digit (default: the layout's display name from\n"
    "                     its string resources, lower-cased, else the file name's stem)\n"
    "  --description TEXT the name Keyman lists it by (default: the display name)\n"
    "  --language TAG     its BCP 47 language tag, \"en\" or \"de-CH\" (default: the locale\n"
    "                     name its resources give, its language only, else none)\n"
    "  --chart HTML       put the chart (wendol chart's page) into the package as\n"
    "                     DIR/ID-chart.htm\n",
    "  wendol keyman Wendol.dll --out keyman --chart chart/wendol.html\n"
    "  wendol keyman kbdmine.dll --out mine --name mine --description \"My layout\" --language de\n",
};

}  // namespace wendol::cli
