// chart_html.h - the chart as one page: the views drawn inline and the
// dead-key tables, with everything it needs inside it and print rules for
// A4 landscape.
#pragma once

#include <string>
#include <vector>

#include "chart/chart_compositions.h"
#include "chart/chart_svg.h"
#include "chart/chart_views.h"

namespace wendol::chart {

struct PageView {
    const View *view = nullptr;
    Heading heading;
};

struct Page {
    std::string title;     // the layout's name
    std::vector<PageView> views;
    std::vector<CompositionGroup> groups;
};

std::string chart_html(const Page &page);

// The table of one dead key: its heading, where it is typed and its
// compositions four to a row.
std::string composition_group_html(const CompositionGroup &group);

}  // namespace wendol::chart
