// cmd_klc.cpp - `wendol klc FILE [--out FILE.klc]`: the .klc source of a
// layout image, written from its compiled model, so that `wendol build`
// makes the layout again for every Windows.  What the format cannot hold is
// named on stderr and as comments at the top of the source.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "commands.h"
#include "engine/keymap.h"
#include "klc/klc_image.h"
#include "klc/klc_text.h"
#include "tables/tables.h"

namespace wendol::cli {

namespace {

namespace fs = std::filesystem;

int run_klc(std::vector<std::string> args, std::ostream &out)
{
    const std::optional<std::string> out_option = take_option(args, "--out");
    const MappedImage image = load_image_argument(args, klc_command.synopsis);
    const std::string path = args.at(0);
    const Keymap keymap(read_tables(image));
    const KlcFromImage written = klc_from_image(keymap, image.file(), fs::path(path).stem().string());
    const std::string target = out_option ? *out_option : written.source.name + ".klc";
    const std::vector<uint8_t> bytes = klc_bytes(written.source);
    write_text_file(target, std::string(bytes.begin(), bytes.end()), "writing the .klc source");
    out << target << '\n';
    out.flush();
    for (const KlcUnwritten &u : written.unwritten)
        std::cerr << "wendol klc: not in the source: " << u.what << ": " << u.detail << '\n';
    if (const std::optional<std::string> notice = nls_notice(image))
        std::cerr << "wendol klc: " << *notice << '\n';
    return kExitDone;
}

}  // namespace

const Command klc_command = {
    "klc",
    "FILE [--out FILE.klc] [--base ADDR]",
    "write the layout's .klc source, the text the platform's old layout creator\n"
    "      reads and `wendol build` builds every Windows module from: every key a\n"
    "      scan code reaches with what it types in each column, the dead keys, the\n"
    "      ligatures, the key names and the names of the version and string\n"
    "      resources.  What the format cannot hold (a modifier key of the layout's\n"
    "      own, chained dead keys, the Kana lock, scan codes of keys that type\n"
    "      nothing sending other virtual keys) is named on stderr and as comments\n"
    "      in the file.  Without --out the file is NAME.klc, NAME from FILE",
    run_klc,
    "  --out FILE.klc   write the source to this file\n",
    "  wendol klc Wendol.dll --out wendol.klc\n",
};

}  // namespace wendol::cli
