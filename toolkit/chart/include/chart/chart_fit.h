// chart_fit.h - text fitted into a box without a font at hand: widths are
// estimated from the number of characters, which is close enough for key
// labels in a sans-serif face and errs on the wide side.
#pragma once

#include <string>
#include <vector>

namespace wendol::chart {

struct FittedText {
    double size = 0;                  // font size in px
    std::vector<std::string> lines;
};

// Average advance of a character, in ems: capitals (the names of invisible
// characters) run wider than mixed text.
inline constexpr double kCapitalsEm = 0.68;
inline constexpr double kMixedEm = 0.58;
inline constexpr double kProseEm = 0.53;      // running text, small letters mostly
inline constexpr double kLineHeight = 1.15;   // in ems

// The estimated width of `text` at `size`.
double text_width(const std::string &text, double size, double em);

// `text` broken into lines at spaces so that no line is wider than `width`,
// when a word fits at all.
std::vector<std::string> wrap_words(const std::string &text, double width, double size, double em);

// The largest size from `largest` down to `smallest` at which the wrapped
// text fits the box; at `smallest` it is wrapped and left to overflow.
FittedText fit_text(const std::string &text, double width, double height, double largest,
                    double smallest, double em);

}  // namespace wendol::chart
