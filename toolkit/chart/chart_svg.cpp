// chart_svg.cpp - a view as one drawing: heading, keys, legend.
//
// Geometry is in px of the drawing's own coordinates; the page scales the
// drawing to its width.  The alphanumeric block has its legend below it;
// the keypad, narrow, is drawn larger with its legend beside it.
#include "chart/chart_svg.h"

#include <algorithm>

#include "base/xml_text.h"
#include "chart/chart_key_svg.h"
#include "chart/chart_legend.h"
#include "chart/chart_style.h"
#include "chart/svg_elements.h"

namespace wendol::chart {

namespace {

constexpr double kMargin = 16;
constexpr double kHeadingHeight = 50;
constexpr double kWideUnit = 64;        // px per key width, alphanumeric block
constexpr double kNarrowUnit = 88;      // the keypad
constexpr double kNarrowBlock = 6;      // key widths below which a block is narrow
constexpr double kSideLegendWidth = 440;
constexpr double kLegendGap = 20;

std::string heading_svg(const Heading &heading)
{
    return text_element("title", kMargin, kMargin + 16, 18, "start", heading.title) +
           text_element("subtitle", kMargin, kMargin + 33, 11, "start", heading.subtitle) + "\n";
}

struct Frame {
    double unit = 0;
    Box block;    // where the keys go
    Box legend;   // where the legend starts, and how wide it is
    bool legend_beside = false;
};

Frame frame_for(const View &view)
{
    Frame f;
    f.legend_beside = view.width < kNarrowBlock;
    f.unit = f.legend_beside ? kNarrowUnit : kWideUnit;
    f.block = {kMargin, kMargin + kHeadingHeight, view.width * f.unit, view.height * f.unit};
    f.legend = f.legend_beside
                   ? Box{f.block.x + f.block.w + kLegendGap, f.block.y, kSideLegendWidth, 0}
                   : Box{f.block.x, f.block.y + f.block.h + kLegendGap, f.block.w, 0};
    return f;
}

std::string svg_open(double width, double height, std::string_view id_prefix)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\"" +
           attribute("id", std::string(id_prefix) + "chart") +
           attribute("viewBox", "0 0 " + px(width) + " " + px(height)) +
           attribute("width", width) + attribute("height", height) + " role=\"img\">\n";
}

}  // namespace

std::string view_svg(const View &view, const Heading &heading, std::string_view id_prefix,
                     SvgForm form)
{
    const Frame frame = frame_for(view);
    const Legend legend = legend_svg(view, frame.legend);
    const double right = frame.legend_beside ? frame.legend.x + frame.legend.w
                                             : frame.block.x + frame.block.w;
    const double bottom = frame.legend_beside
                              ? frame.block.y + std::max(frame.block.h, legend.height)
                              : frame.legend.y + legend.height;
    const double width = right + kMargin, height = bottom + kMargin;

    std::string out;
    if (form == SvgForm::Document)
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += svg_open(width, height, id_prefix);
    out += "<title>" + xml_escaped(heading.title) + "</title>\n";
    out += "<style>" + drawing_style() + "</style>\n";
    out += rect_element("paper", Box{0, 0, width, height}, 0) + "\n";
    out += heading_svg(heading);
    for (const KeyFace &key : view.keys)
        out += key_svg(key, view.layer, frame.unit, frame.block, id_prefix);
    return out + legend.svg + "</svg>\n";
}

}  // namespace wendol::chart
