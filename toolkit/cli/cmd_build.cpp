// cmd_build.cpp - `wendol build LAYOUT.klc [--out DIR]`: a layout's .klc
// source made into everything it ships as: the modules for x86, x64, Arm64
// and WOW64 (the 32-bit image with 64-bit pointer fields) by the one rule
// every layout image is built by, each verified; the Windows installer made
// for this layout; the chart, the Linux form and the Keyman package, each
// written from the built module.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "base/error.h"
#include "base/text.h"
#include "commands.h"
#include "finding_text.h"
#include "installer_files.h"
#include "klc/klc_text.h"
#include "module_build.h"
#include "programs.h"
#include "verify/verify.h"

namespace wendol::cli {

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> read_source(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        fail(path, "a .klc source that can be read", "no such file, or no permission");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return bytes;
}

KlcSource read_source_file(const std::string &path)
{
    try {
        return read_klc(read_source(path));
    } catch (const Error &e) {
        throw Error(path + ": " + e.what());
    }
}

// Every module judged as `wendol verify` judges it; an error stops the
// build, a warning is told.
void verify_modules(const std::vector<fs::path> &modules, std::ostream &out)
{
    size_t errors = 0;
    for (const fs::path &module : modules)
        for (const Finding &f : verify_file(module.string())) {
            if (f.severity == Severity::Note)
                continue;
            std::cerr << "wendol build: " << module.string() << ": " << finding_text(f) << '\n';
            errors += f.severity == Severity::Error;
        }
    if (errors)
        throw Error("the built modules break " + std::to_string(errors) +
                    " rule(s) the platform reads them by (above)");
    out << "verified " << modules.size() << " modules\n";
}

std::string language_digits(uint32_t locale_id)
{
    const std::string digits = hex(locale_id & 0xFFFF, 4).substr(2);
    std::string lower;
    for (char c : digits)
        lower += static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
    return lower;
}

void write_installer(const KlcSource &source, const fs::path &dir, std::ostream &out)
{
    InstallerNames names;
    names.product = source.name;
    names.dll = source.name + ".dll";
    names.layout_text = script_text(source.description, source.name);
    names.language = language_digits(source.locale_id);
    std::u16string language_text;
    for (const KlcLocalized &l : source.language_names)
        if (l.language == (source.locale_id & 0xFFFF) || language_text.empty())
            language_text = l.text;
    names.language_text = script_text(language_text, "its language");
    for (const auto &[file, script] : {std::pair{"install.cmd", &install_script()},
                                       std::pair{"uninstall.cmd", &uninstall_script()}}) {
        const fs::path path = dir / file;
        write_text_file(path.string(), installer_script(*script, names), "writing the installer");
        out << path.string() << '\n';
    }
}

// Runs another command of the program on the built module, its listing
// of files going to `out`.
void run_command(const Command &command, std::vector<std::string> args, std::ostream &out)
{
    const int status = command.run(std::move(args), out);
    if (status != kExitDone)
        throw Error(std::string("wendol ") + command.name + " failed on the built module");
}

// Keyman's compiler as this tree has it (tools/keyman/, from npm); an
// installed toolkit has none.
std::optional<fs::path> keyman_compiler()
{
    const fs::path compile = fs::path(WENDOL_SOURCE_DIR) / "tools" / "keyman" / "compile.mjs";
    if (fs::exists(compile) && fs::exists(compile.parent_path() / "node_modules"))
        return compile;
    return std::nullopt;
}

// The Keyman keyboard compiled and packed where Keyman's compiler is
// here; its sources, written by `wendol keyman`, stay either way.
void keyman_package(const fs::path &dir, const std::string &id, std::ostream &out)
{
    const std::optional<fs::path> node = on_path("node");
    const std::optional<fs::path> compile = keyman_compiler();
    if (!node || !compile) {
        std::cerr << "wendol build: Keyman's compiler is not here (node, and the toolkit's "
                     "tools/keyman/ after npm ci): the package's sources are in "
                  << dir.string() << "; Keyman Developer or kmc builds " << id << ".kps from them\n";
        return;
    }
    const fs::path log_file = dir / "compile.log";
    step({node->string(), compile->string(), "keyboard", (dir / (id + ".kmn")).string(), dir.string()},
         log_file, std::cerr, "compiling the Keyman keyboard " + id);
    step({node->string(), compile->string(), "package", (dir / (id + ".kps")).string(),
          (dir / (id + ".kmp")).string()},
         log_file, std::cerr, "packing the Keyman package " + id);
    fs::remove(log_file);
    for (const char *ext : {".kmx", ".js", ".kmp"})
        out << (dir / (id + ext)).string() << '\n';
}

// The Keyman keyboard's identifier: the module's name in a-z, 0-9 and _,
// not starting with a digit.
std::string keyman_id(const std::string &name)
{
    std::string id;
    for (char c : name)
        id += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : (c == '-' ? '_' : c);
    return !id.empty() && id[0] >= '0' && id[0] <= '9' ? "k_" + id : id;
}

int run_build(std::vector<std::string> args, std::ostream &out)
{
    const std::optional<std::string> out_option = take_option(args, "--out");
    expect_operands(args, 1, build_command.synopsis);
    const KlcSource source = read_source_file(args.at(0));
    const fs::path dir = out_option ? fs::path(*out_option) : fs::path(source.name);
    make_folder(dir.string(), "the build's folder");

    const std::vector<fs::path> modules = build_modules(source, dir, std::cerr);
    for (const fs::path &m : modules)
        out << m.string() << '\n';
    verify_modules(modules, out);
    write_installer(source, dir, out);

    const std::string x86 = (dir / "x86" / (source.name + ".dll")).string();
    const std::string chart_dir = (dir / "chart").string();
    run_command(chart_command, {x86, "--out", chart_dir}, out);
    std::string stem = source.name;
    for (char &c : stem)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    const std::string chart_page = (fs::path(chart_dir) / (stem + ".html")).string();
    run_command(xkb_command, {x86, "--out", (dir / "linux").string()}, out);
    const std::string id = keyman_id(source.name);
    run_command(keyman_command,
                {x86, "--out", (dir / "keyman").string(), "--name", id, "--chart", chart_page}, out);
    keyman_package(dir / "keyman", id, out);
    return kExitDone;
}

}  // namespace

const Command build_command = {
    "build",
    "LAYOUT.klc [--out DIR]",
    "build a layout from its .klc source (the text the platform's old layout\n"
    "      creator writes): DIR/x86, DIR/x64, DIR/arm64 and DIR/wow64 hold its module\n"
    "      NAME.dll (NAME from the source's KBD line; wow64 is the 32-bit module\n"
    "      with 64-bit pointer fields), each verified; DIR/install.cmd and\n"
    "      DIR/uninstall.cmd install it on Windows under a layout key and product\n"
    "      code of its own; DIR/chart, DIR/linux and DIR/keyman hold its chart, its\n"
    "      Linux form and its Keyman package, each written from the x86 module.\n"
    "      Needs cmake, clang, lld-link and llvm-rc (Debian: cmake clang lld llvm);\n"
    "      the Keyman package is compiled where Keyman's compiler is found.\n"
    "      Without --out, DIR is ./NAME",
    run_build,
    "  --out DIR     write everything into DIR (made if missing)\n",
    "  wendol build mine.klc --out build-mine\n",
};

}  // namespace wendol::cli
