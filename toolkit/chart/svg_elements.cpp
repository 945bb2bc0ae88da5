// svg_elements.cpp - SVG pieces as text.
#include "chart/svg_elements.h"

#include <cstdio>
#include <string_view>

#include "base/xml_text.h"

namespace wendol::chart {

namespace {

std::string anchor_attribute(const char *anchor)
{
    return std::string_view(anchor) == "start" ? "" : attribute("text-anchor", anchor);
}

}  // namespace

std::string px(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text = buffer;
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text == "-0" ? "0" : text;
}

std::string attribute(const char *name, const std::string &value)
{
    return std::string(" ") + name + "=\"" + xml_escaped(value) + "\"";
}

std::string attribute(const char *name, double value)
{
    return attribute(name, px(value));
}

std::string text_element(const std::string &classes, double x, double y, double size,
                         const char *anchor, const std::string &content, const std::string &extra)
{
    return "<text" + attribute("class", classes) + attribute("x", x) + attribute("y", y) +
           attribute("font-size", size) + anchor_attribute(anchor) + extra + ">" +
           xml_escaped(content) + "</text>";
}

std::string lines_element(const std::string &classes, double x, const std::vector<double> &ys,
                          double size, const char *anchor, const std::vector<std::string> &lines,
                          const std::string &extra)
{
    std::string out = "<text" + attribute("class", classes) + attribute("x", x) +
                      attribute("y", ys.empty() ? 0 : ys.front()) + attribute("font-size", size) +
                      anchor_attribute(anchor) + extra + ">";
    for (size_t i = 0; i < lines.size() && i < ys.size(); ++i)
        out += "<tspan" + attribute("x", x) + attribute("y", ys[i]) + ">" + xml_escaped(lines[i]) +
               "</tspan>";
    return out + "</text>";
}

std::string rect_element(const char *classes, Box box, double radius)
{
    return std::string("<rect") + attribute("class", classes) + attribute("x", box.x) +
           attribute("y", box.y) + attribute("width", box.w) + attribute("height", box.h) +
           attribute("rx", radius) + "/>";
}

}  // namespace wendol::chart
