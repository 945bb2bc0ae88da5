// chart_svg.h - a view drawn as SVG: the keys with their levels, a heading
// and a legend that explains what this view shows and nothing more.
//
// Every key is a group with the id "<prefix>key-<scan id>" ("key-sc1E",
// "key-scE038") and every level a text of classes "level <level>" ("level
// plain", "level altgr-shift"), with "dead" for a dead key, "named" for a
// character shown by its name, "caps" for what Caps Lock changes and
// "via-vk" for a level typed through the key's virtual key.
#pragma once

#include <string>
#include <string_view>

#include "chart/chart_views.h"

namespace wendol::chart {

struct Heading {
    std::string title;      // "Tarvena: Caps Lock off"
    std::string subtitle;   // where it came from
};

enum class SvgForm {
    Document,   // a file of its own, with the XML declaration
    Inline,     // an element to put into a page
};

std::string view_svg(const View &view, const Heading &heading, std::string_view id_prefix,
                     SvgForm form);

}  // namespace wendol::chart
