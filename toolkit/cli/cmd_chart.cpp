// cmd_chart.cpp - `wendol chart FILE [--out DIR]`: draws the layout from the
// module by typing every key through its tables, and writes the drawings and
// a printable page with the dead-key tables.
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "base/text.h"
#include "chart/chart_compositions.h"
#include "chart/chart_html.h"
#include "chart/chart_layers.h"
#include "chart/chart_svg.h"
#include "chart/chart_views.h"
#include "engine/keymap.h"
#include "commands.h"
#include "tables/tables.h"

namespace wendol::cli {

namespace {

namespace fs = std::filesystem;
using namespace wendol::chart;

fs::path output_directory(const std::optional<std::string> &option)
{
    const fs::path dir = option ? fs::path(*option) : fs::current_path();
    make_folder(dir.string(), "the chart's folder");
    return dir;
}

struct DrawnView {
    View view;
    std::string file;
};

// The files are named after the module: Wendol.dll draws wendol.svg,
// wendol-caps-lock.svg (wendol-shift-lock.svg on a Shift-lock layout),
// wendol-keypad.svg and wendol.html; a layout with further level keys a
// drawing for each, after the lock's: kana-kana-held.svg.
std::string file_stem(const std::string &path)
{
    std::string stem = fs::path(path).stem().string();
    std::transform(stem.begin(), stem.end(), stem.begin(), [](unsigned char c) {
        return static_cast<char>(std::tolower(c));
    });
    return stem.empty() ? "layout" : stem;
}

int run_chart(std::vector<std::string> args, std::ostream &out)
{
    const std::optional<std::string> out_option = take_option(args, "--out");
    const MappedImage image = load_image_argument(args, chart_command.synopsis);
    const std::string path = args.at(0);
    const Keymap keymap(read_tables(image));
    const fs::path dir = output_directory(out_option);

    const std::string name = layout_display_name(image, path);
    const std::string file = fs::path(path).filename().string();
    const std::string source = "Every key typed through the tables of " + file + ".";
    const std::string stem = file_stem(path);
    const std::string lock = keymap.shift_lock() ? "-shift-lock" : "-caps-lock";
    std::vector<DrawnView> drawn = {
        {lock_off_view(keymap), stem + ".svg"},
        {lock_on_view(keymap), stem + lock + ".svg"},
    };
    for (const Layer &layer : extra_layers(keymap)) {
        View view = layer_view(keymap, layer);
        const std::string name_of_file = stem + "-" + view.slug + ".svg";
        drawn.push_back({std::move(view), name_of_file});
    }
    drawn.push_back({keypad_view(keymap), stem + "-keypad.svg"});

    Page page;
    page.title = name;
    std::vector<const View *> views;
    for (const DrawnView &d : drawn) {
        const Heading heading{name + " \u00B7 " + d.view.title, source};
        write_text_file((dir / d.file).string(), view_svg(d.view, heading, "", SvgForm::Document),
                        "writing the chart");
        out << (dir / d.file).string() << '\n';
        page.views.push_back({&d.view, heading});
        views.push_back(&d.view);
    }
    page.groups = composition_groups(keymap, views);
    const fs::path html = dir / (stem + ".html");
    write_text_file(html.string(), chart_html(page), "writing the chart");
    out << html.string() << '\n';
    return 0;
}

}  // namespace

const Command chart_command = {
    "chart",
    "FILE [--out DIR] [--base ADDR]",
    "draw the layout by typing every key through the module's tables, in files named\n"
    "      after FILE (here Wendol.dll): DIR/wendol.svg (Caps Lock off),\n"
    "      DIR/wendol-caps-lock.svg (Caps Lock on; -shift-lock where the lock is a Shift\n"
    "      lock), DIR/wendol-keypad.svg (Num Lock on) and DIR/wendol.html, a page with\n"
    "      the drawings and the dead keys' composition tables that prints on A4\n"
    "      landscape.  A layout with further level keys (a Kana key) gets a drawing\n"
    "      of the keys as they type with each held, named after them\n"
    "      (DIR/kana-kana-held.svg).  DIR is made if missing; without --out the files\n"
    "      go to the current folder",
    run_chart,
    "  --out DIR     write the files into DIR (made if missing)\n",
    "  wendol chart Wendol.dll --out chart\n",
};

}  // namespace wendol::cli
