// chart_legend.cpp - what the legend says, and where.
#include "chart/chart_legend.h"

#include <algorithm>

#include "base/text.h"
#include "chart/chart_corners.h"
#include "chart/chart_fit.h"

namespace wendol::chart {

namespace {

constexpr double kLine = 15;
constexpr double kTextSize = 10.5;
constexpr double kSampleWidth = 112, kSampleHeight = 60;
constexpr double kSwatchWidth = 36;

struct LegendItem {
    enum class Swatch { None, Dead, Named, Caps, Lit };
    Swatch swatch = Swatch::None;
    std::string text;
};

bool shows_altgr(const ViewContents &seen)
{
    return seen.levels[static_cast<size_t>(Level::AltGr)] ||
           seen.levels[static_cast<size_t>(Level::AltGrShift)];
}

// What the levels are, and which are blue, where the view has AltGr levels.
std::string levels_text(const View &view, const ViewContents &seen)
{
    const std::string held = view.layer.name.empty() ? "" : " with " + view.layer.name + " held";
    if (!shows_altgr(seen))
        return "Every level as the module types it" + held + ".";
    return "Every level as the module types it" + held + "; blue: the " +
           level_name(view.layer, Level::AltGr) + " levels.";
}

// What a lit key means: a lock on, or the layer's keys held.
std::string lit_text(const View &view)
{
    if (!view.layer.name.empty())
        return view.layer.name + (view.layer.held.size() == 1 ? " is held." : " are held.");
    return view.locks.num_lock ? "Num Lock is on." : view.lock + " is on.";
}

std::vector<LegendItem> legend_items(const View &view, const ViewContents &seen)
{
    using S = LegendItem::Swatch;
    std::vector<LegendItem> items;
    items.push_back({S::None, levels_text(view, seen)});
    for (const std::string &note : view.notes)
        items.push_back({S::None, note});
    if (seen.first_dead)
        items.push_back({S::Dead, "Dead key, with the character it leaves pending; what follows "
                                  "composes with it (see the dead-key tables)."});
    if (seen.named)
        items.push_back({S::Named, "A character that does not print, by its name: control "
                                   "characters, spaces, separators."});
    if (seen.captions)
        items.push_back({S::None, "Grey: the key's name in the module, on keys that type nothing "
                                  "that prints."});
    if (seen.lit)
        items.push_back({S::Lit, lit_text(view)});
    if (seen.caps_variants)
        items.push_back({S::Caps, "Green, in the middle: what the key types instead while " +
                                      view.lock + " is on."});
    if (seen.through_virtual_key)
        items.push_back({S::None, "Italic: characters the tables hold that no key types. "
                                  "Shift with Num Lock on turns the keypad into the navigation "
                                  "keys, and without Num Lock they are navigation keys anyway; "
                                  "shown is what the digit's own virtual key holds with Shift."});
    return items;
}

// The size at which the names on one edge of the key fit it side by side:
// the usual size unless they are long.
double edge_size(const std::vector<std::string> &names, double width)
{
    constexpr double kSize = 10, kGap = 4;
    double ems = 0;
    for (const std::string &name : names)
        ems += text_width(name, 1, kMixedEm);
    return ems > 0 ? std::min(kSize, (width - kGap) / ems) : kSize;
}

// A key with the name of each level the view shows in its corner.
std::string sample_key(double x, double y, const View &view, const ViewContents &seen)
{
    constexpr double kPad = 6, kSize = 10;
    const Box cap{x, y, kSampleWidth, kSampleHeight};
    const Box inner{x + kPad, y + kPad, cap.w - 2 * kPad, cap.h - 2 * kPad};
    if (std::none_of(seen.levels.begin(), seen.levels.end(), [](bool shown) { return shown; }))
        return "";   // a view with no level to name: a keypad the layout leaves empty
    std::string out = rect_element("cap", cap, 5);
    for (Level level : kLevels) {
        if (!seen.levels[static_cast<size_t>(level)])
            continue;
        const Side side = side_of(level);
        std::vector<std::string> on_edge;
        for (Level other : kLevels)
            if (edge_of(other) == edge_of(level) && seen.levels[static_cast<size_t>(other)])
                on_edge.push_back(level_name(view.layer, other));
        const std::string name = level_name(view.layer, level);
        const double size = edge_size(on_edge, inner.w);
        const double baseline = edge_of(level) == Edge::Top ? inner.y + kSize * 0.85
                                                            : inner.y + inner.h - 2;
        out += text_element(std::string("level ") + level_class(level), anchor_x(inner, side),
                            baseline, size, anchor_of(side), name);
    }
    return out;
}

std::string swatch_svg(LegendItem::Swatch swatch, const ViewContents &seen, double x,
                       double baseline)
{
    using S = LegendItem::Swatch;
    const double top = baseline - 12;
    switch (swatch) {
    case S::Dead:
        return rect_element("dead-cell", Box{x, top, 16, 16}, 3) +
               text_element("level dead", x + 8, top + 12, 11.5, "middle",
                            utf8(std::u16string(1, seen.first_dead.value_or(u' '))));
    case S::Named:
        return text_element("level named", x, baseline - 1, 8, "start", "NAME");
    case S::Caps:
        return text_element("level caps", x + 2, baseline, 12, "start", "\u21EA");
    case S::Lit:
        return "<circle class=\"led\"" + attribute("cx", x + 8) + attribute("cy", baseline - 4) +
               " r=\"3.5\"/>";
    case S::None: break;
    }
    return "";
}

}  // namespace

Legend legend_svg(const View &view, Box box)
{
    const ViewContents seen = contents(view);
    Legend legend;
    legend.svg = "<g class=\"legend\">" + sample_key(box.x, box.y, view, seen);
    const double text_x = box.x + kSampleWidth + 16 + kSwatchWidth;
    const double width = box.x + box.w - text_x;
    double y = box.y + 11;
    for (const LegendItem &item : legend_items(view, seen)) {
        legend.svg += swatch_svg(item.swatch, seen, text_x - kSwatchWidth, y);
        const std::vector<std::string> lines = wrap_words(item.text, width, kTextSize, kProseEm);
        std::vector<double> ys;
        for (size_t i = 0; i < lines.size(); ++i, y += kLine)
            ys.push_back(y);
        legend.svg += lines_element("legend", text_x, ys, kTextSize, "start", lines);
        y += 3;
    }
    legend.svg += "</g>\n";
    legend.height = std::max(kSampleHeight, y - box.y);
    return legend;
}

}  // namespace wendol::chart
