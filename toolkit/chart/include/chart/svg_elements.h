// svg_elements.h - the few SVG pieces the chart writes, with every number
// written short and every text and attribute escaped.
#pragma once

#include <string>
#include <vector>

namespace wendol::chart {

// A rectangle in the drawing's coordinates (px).
struct Box {
    double x = 0, y = 0, w = 0, h = 0;
};

// "12.5", "3", "-0.25": at most two decimals, no trailing zeros.
std::string px(double value);

// ` name="value"`, the value escaped.
std::string attribute(const char *name, const std::string &value);
std::string attribute(const char *name, double value);

// Text at a baseline; `anchor` is "start", "middle" or "end", and `extra`
// more attributes, already written.
std::string text_element(const std::string &classes, double x, double y, double size,
                         const char *anchor, const std::string &content,
                         const std::string &extra = "");

// Lines of text, each at its own baseline.
std::string lines_element(const std::string &classes, double x, const std::vector<double> &ys,
                          double size, const char *anchor, const std::vector<std::string> &lines,
                          const std::string &extra = "");

std::string rect_element(const char *classes, Box box, double radius);

}  // namespace wendol::chart
