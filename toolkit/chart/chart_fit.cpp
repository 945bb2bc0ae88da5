// chart_fit.cpp - word wrapping and shrinking by estimated widths.
#include "chart/chart_fit.h"

#include <algorithm>
#include <sstream>

#include "base/text.h"

namespace wendol::chart {

double text_width(const std::string &text, double size, double em)
{
    return static_cast<double>(display_width(text)) * size * em;
}

std::vector<std::string> wrap_words(const std::string &text, double width, double size, double em)
{
    std::vector<std::string> lines;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (!lines.empty() && text_width(lines.back() + " " + word, size, em) <= width)
            lines.back() += " " + word;
        else
            lines.push_back(word);
    }
    return lines;
}

FittedText fit_text(const std::string &text, double width, double height, double largest,
                    double smallest, double em)
{
    constexpr double kStep = 0.25;
    for (double size = largest; size >= smallest; size -= kStep) {
        std::vector<std::string> lines = wrap_words(text, width, size, em);
        const bool narrow_enough = std::all_of(lines.begin(), lines.end(), [&](const std::string &l) {
            return text_width(l, size, em) <= width;
        });
        const double tall = static_cast<double>(lines.size()) * size * kLineHeight;
        if (narrow_enough && tall <= height)
            return {size, std::move(lines)};
    }
    return {smallest, wrap_words(text, width, smallest, em)};
}

}  // namespace wendol::chart
