// chart_key_svg.h - a key of a view drawn as an SVG group: the group's id
// is "<prefix>key-<scan id>", and each level a text of classes "level
// <level>" with "dead", "named", "caps" or "via-vk" where they apply.
#pragma once

#include <string>
#include <string_view>

#include "chart/chart_views.h"
#include "chart/svg_elements.h"

namespace wendol::chart {

// `unit` is the px of one key width; `block` where the key block sits; the
// key's title names its levels as `layer` holds them ("Kana+Shift: ...").
std::string key_svg(const KeyFace &key, const Layer &layer, double unit, Box block,
                    std::string_view prefix);

}  // namespace wendol::chart
