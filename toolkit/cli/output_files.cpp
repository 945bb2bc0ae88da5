// output_files.cpp - what the commands that write files share: the layout's
// display name for their headings, and their folders and files.
#include <filesystem>
#include <fstream>

#include "base/error.h"
#include "base/text.h"
#include "commands.h"
#include "resources/resources.h"
#include "xkb/layout_names.h"

namespace wendol::cli {

namespace fs = std::filesystem;

namespace {

// The string resources a layout's display name and its locale name are kept in.
constexpr uint32_t kDisplayNameId = 1000;
constexpr uint32_t kLocaleNameId = 1200;

}  // namespace

std::string layout_display_name(const MappedImage &image, const std::string &path)
{
    // The output is drawn from the tables; resources that cannot be read
    // only cost it the name.
    try {
        const std::optional<std::u16string> name =
            read_resources(image.file()).string(kDisplayNameId);
        if (name && !name->empty())
            return utf8(*name);
    } catch (const Error &) {
    }
    return fs::path(path).stem().string();
}

std::string layout_locale_name(const MappedImage &image)
{
    try {
        if (const std::optional<std::u16string> locale = read_resources(image.file()).string(kLocaleNameId))
            return utf8(*locale);
    } catch (const Error &) {
    }
    return "";
}

std::optional<std::string> default_layout_name(const std::string &display, const std::string &path)
{
    if (std::optional<std::string> from_display = xkb::name_from(display))
        return from_display;
    return xkb::name_from(fs::path(path).stem().string());
}

void make_folder(const std::string &dir, const std::string &what)
{
    std::error_code error;
    fs::create_directories(dir, error);
    if (error || !fs::is_directory(dir))
        fail(what, "a folder that can be made or written",
             dir + (error ? " (" + error.message() + ")" : " is no folder"));
}

void write_text_file(const std::string &path, const std::string &text, const std::string &what)
{
    if (const fs::path dir = fs::path(path).parent_path(); !dir.empty())
        make_folder(dir.string(), what);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file)
        fail(what, "a file that can be written", path + " refused");
}

}  // namespace wendol::cli
