// module_build.cpp - a .klc source built into modules: its sources written,
// a CMake project over the layout build rule configured and built, the
// modules copied out.
#include "module_build.h"

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "base/error.h"
#include "commands.h"
#include "klc/klc_module.h"
#include "programs.h"

namespace wendol::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char *kVariants[] = {"x86", "wow64", "x64", "arm64"};

// A program the build runs, the names it goes by and where Debian has it.
struct Tool {
    std::vector<const char *> names;
    const char *package;
};

// The same names the build rule's find_program takes.
void check_tools()
{
    const Tool tools[] = {
        {{"cmake"}, "cmake"},
        {{"clang-14", "clang"}, "clang"},
        {{"lld-link-14", "lld-link"}, "lld"},
        {{"llvm-rc-14", "llvm-rc"}, "llvm"},
    };
    for (const Tool &tool : tools) {
        bool found = false;
        for (const char *name : tool.names)
            found = found || on_path(name);
        if (!found)
            fail("building the modules", std::string(tool.names.back()) +
                     " on PATH (Debian package " + tool.package + ")",
                 "no " + std::string(tool.names.back()));
    }
}

// Where the build rule, the headers the tables include and the finishing
// step are: installed beside the program, else in the tree it was built
// from.
struct BuildData {
    fs::path rule;         // layout_rule.cmake
    fs::path headers;      // the folder of kbd.h and vkeys.h
    fs::path finish;       // finish_image
};

bool complete(const BuildData &d)
{
    return fs::is_regular_file(d.rule) && fs::is_regular_file(d.headers / "kbd.h") &&
           fs::is_regular_file(d.headers / "vkeys.h") && fs::is_regular_file(d.finish);
}

BuildData build_data()
{
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path prefix = exe.parent_path().parent_path();
        const fs::path share = prefix / "share" / "wendol" / "build";
        const BuildData installed{share / "layout_rule.cmake", share,
                                  prefix / "lib" / "wendol" / "finish_image"};
        if (complete(installed))
            return installed;
    }
    const fs::path source = WENDOL_SOURCE_DIR;
    const BuildData tree{source / "cmake" / "layout_rule.cmake", source / "layout",
                         WENDOL_FINISH_PATH};
    if (!complete(tree))
        fail("building the modules",
             "layout_rule.cmake, kbd.h, vkeys.h and finish_image installed in share/wendol/build "
             "and lib/wendol beside the program, or in the tree it was built from",
             "neither (" + tree.rule.string() + ", " + tree.finish.string() + ")");
    return tree;
}

// A path as a CMake bracket argument, which takes every character as it is.
std::string cmake_path(const fs::path &path)
{
    const std::string text = path.string();
    std::string equals = "=";
    while (text.find("]" + equals + "]") != std::string::npos)
        equals += "=";
    return "[" + equals + "[" + text + "]" + equals + "]";
}

std::string cmake_lists(const KlcSource &source, const std::vector<SourceFile> &files,
                        const BuildData &data)
{
    std::string sources;
    for (const SourceFile &f : files)
        if (fs::path(f.name).extension() == ".c")
            sources += "\n            ${CMAKE_CURRENT_SOURCE_DIR}/" + f.name;
    return "# The modules of " + source.name + ".dll, written by wendol from its .klc source.\n"
           "cmake_minimum_required(VERSION 3.25)\n"
           "project(" + source.name + " LANGUAGES NONE)\n\n"
           "set(WENDOL_FINISH_IMAGE " + cmake_path(data.finish) + ")\n"
           "include(" + cmake_path(data.rule) + ")\n\n"
           "set(headers " + cmake_path(data.headers) + ")\n"
           "wendol_build_layout_variants(" + source.name + "\n"
           "    SOURCES" + sources + "\n"
           "    HEADERS ${CMAKE_CURRENT_SOURCE_DIR}/layout.h ${headers}/kbd.h ${headers}/vkeys.h\n"
           "    INCLUDES ${CMAKE_CURRENT_SOURCE_DIR} ${headers}\n"
           "    RESOURCES ${CMAKE_CURRENT_SOURCE_DIR}/layout.rc\n"
           "    DEF ${CMAKE_CURRENT_SOURCE_DIR}/layout.def\n"
           "    OUTPUT_DIR ${CMAKE_BINARY_DIR}/modules)\n";
}

}  // namespace

std::vector<fs::path> build_modules(const KlcSource &source, const fs::path &out_dir,
                                    std::ostream &log)
{
    const std::vector<SourceFile> files = module_sources(source);
    check_tools();
    const BuildData data = build_data();

    const fs::path source_dir = fs::absolute(out_dir / "source");
    const fs::path work_dir = fs::absolute(out_dir / "work");
    for (const SourceFile &f : files)
        write_text_file((source_dir / f.name).string(), f.text, "the module's sources");
    write_text_file((source_dir / "CMakeLists.txt").string(), cmake_lists(source, files, data),
                    "the module's build");
    make_folder(work_dir.string(), "the module's build");

    const fs::path log_file = work_dir / "step.log";
    step({"cmake", "-S", source_dir.string(), "-B", work_dir.string()}, log_file, log,
         "configuring the build of " + source.name + ".dll");
    step({"cmake", "--build", work_dir.string(), "--parallel", "2"}, log_file, log,
         "building " + source.name + ".dll");

    std::vector<fs::path> modules;
    for (const char *variant : kVariants) {
        const fs::path built = work_dir / "modules" / variant / (source.name + ".dll");
        const fs::path copied = out_dir / variant / (source.name + ".dll");
        make_folder(copied.parent_path().string(), "the modules");
        std::error_code error;
        fs::copy_file(built, copied, fs::copy_options::overwrite_existing, error);
        if (error)
            fail("copying the " + std::string(variant) + " module", "a module to copy",
                 built.string() + " (" + error.message() + ")");
        modules.push_back(copied);
    }
    return modules;
}

}  // namespace wendol::cli
