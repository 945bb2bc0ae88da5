// chart_style.h - how the chart looks: the fonts that carry its characters
// and the style sheets of the drawings and of the page.
#pragma once

#include <string>

namespace wendol::chart {

// The font-family list, for CSS.  Its faces come from Debian packages named
// in chart/FONTS.md: DejaVu Sans carries nearly everything, Noto Sans the
// rarer Cyrillic modifier letters, Unifont what no other face has yet.
const char *font_families();

// Rules for the drawings' classes (key, cap, level, dead-cell, ...).
std::string drawing_style();

// Rules for the page around them, print included.
std::string page_style();

}  // namespace wendol::chart
