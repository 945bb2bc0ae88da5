// chart_legend.h - the legend under (or beside) a drawing: a sample key
// with the four corners named, then a line for each kind of thing the view
// shows, and only for those it shows.
#pragma once

#include <string>

#include "chart/chart_views.h"
#include "chart/svg_elements.h"

namespace wendol::chart {

struct Legend {
    std::string svg;
    double height = 0;
};

// The legend laid out from the top-left corner of `box`, its lines wrapped
// to the box's width.
Legend legend_svg(const View &view, Box box);

}  // namespace wendol::chart
