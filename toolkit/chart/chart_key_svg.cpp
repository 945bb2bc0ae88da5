// chart_key_svg.cpp - one key: its cap, its labels in their corners, its
// caption, and what Caps Lock changes on it.
//
// A tall key with names on it (an Enter) stacks its labels instead of
// putting them in corners, keeping the sides: Shift and plain on the left,
// the AltGr levels on the right.
#include "chart/chart_key_svg.h"

#include <algorithm>

#include "base/text.h"
#include "base/xml_text.h"
#include "chart/chart_corners.h"
#include "chart/chart_fit.h"
#include "engine/key_parse.h"

namespace wendol::chart {

namespace {

constexpr double kInset = 2;   // between neighbouring caps
constexpr double kPad = 5;     // between a cap's edge and its labels
constexpr double kGap = 4;     // between two labels side by side

size_t index_of(Level level)
{
    return static_cast<size_t>(level);
}

// The level on the same edge, other side.
Level partner_of(Level level)
{
    switch (level) {
    case Level::Plain: return Level::AltGr;
    case Level::AltGr: return Level::Plain;
    case Level::Shift: return Level::AltGrShift;
    case Level::AltGrShift: return Level::Shift;
    }
    return level;
}

double character_size(Level level)
{
    return side_of(level) == Side::Left ? 19 : 16;
}

double natural_width(const Label &label, Level level)
{
    if (label.kind == Label::Kind::Dead)
        return character_size(level) * 1.3;
    if (label.kind == Label::Kind::Named)
        return 0;   // a name takes what room there is
    return text_width(shown_text(label), character_size(level), kMixedEm);
}

bool any_named(const Levels &levels)
{
    return std::any_of(levels.begin(), levels.end(), [](const std::optional<Label> &l) {
        return l && l->kind == Label::Kind::Named;
    });
}

// The room each level's label gets, in the cap's label area with a band
// in the middle kept for the caption.
class Slots {
public:
    Slots(Box area, double band, const Levels &levels, bool stacked)
        : area_(area), band_(band), levels_(levels), stacked_(stacked)
    {
    }

    Box slot(Level level) const
    {
        return stacked_ ? stacked_slot(level) : corner_slot(level);
    }

private:
    Box corner_slot(Level level) const
    {
        const double h = (area_.h - band_) / 2;
        const double y = edge_of(level) == Edge::Top ? area_.y : area_.y + area_.h - h;
        double w = area_.w;
        if (const std::optional<Label> &partner = levels_[index_of(partner_of(level))]) {
            const std::optional<Label> &self = levels_[index_of(level)];
            const double theirs = natural_width(*partner, partner_of(level));
            const double mine = self ? natural_width(*self, level) : 0;
            w = theirs > 0 && mine == 0 ? area_.w - theirs - kGap : (area_.w - kGap) / 2;
            w = std::max(w, mine);
        }
        const double x = side_of(level) == Side::Left ? area_.x : area_.x + area_.w - w;
        return {x, y, w, h};
    }

    // Top to bottom: Shift, AltGr+Shift, (caption), AltGr, plain.
    Box stacked_slot(Level level) const
    {
        const double h = (area_.h - band_) / 4;
        double y = area_.y;
        switch (level) {
        case Level::Shift: break;
        case Level::AltGrShift: y += h; break;
        case Level::AltGr: y = area_.y + area_.h - 2 * h; break;
        case Level::Plain: y = area_.y + area_.h - h; break;
        }
        return {area_.x, y, area_.w, h};
    }

    Box area_;
    double band_;
    const Levels &levels_;
    bool stacked_;
};

std::string label_classes(const Label &label, Level level, bool caps)
{
    std::string classes = std::string("level ") + level_class(level);
    if (label.kind == Label::Kind::Dead)
        classes += " dead";
    if (label.kind == Label::Kind::Named)
        classes += " named";
    if (caps)
        classes += " caps";
    if (label.through_virtual_key)
        classes += " via-vk";
    return classes;
}

std::string code_point_attribute(const Label &label)
{
    return attribute("data-cp", code_points(label.text));
}

std::string character_label(const Label &label, Level level, Box slot, const std::string &classes,
                            double largest)
{
    const Side side = side_of(level);
    const FittedText fit = fit_text(shown_text(label), slot.w, slot.h, largest, 7, kMixedEm);
    const double y = edge_of(level) == Edge::Top ? slot.y + fit.size * 0.82
                                                 : slot.y + slot.h - fit.size * 0.24;
    return text_element(classes, anchor_x(slot, side), y, fit.size, anchor_of(side),
                        shown_text(label), code_point_attribute(label));
}

std::string named_label(const Label &label, Level level, Box slot, const std::string &classes)
{
    const Side side = side_of(level);
    const FittedText fit = fit_text(shown_text(label), slot.w, slot.h, 8.5, 4.5, kCapitalsEm);
    const double step = fit.size * kLineHeight;
    const double count = static_cast<double>(fit.lines.size());
    double y = edge_of(level) == Edge::Top ? slot.y + fit.size * 0.85
                                           : slot.y + slot.h - fit.size * 0.2 - (count - 1) * step;
    std::vector<double> ys;
    for (size_t i = 0; i < fit.lines.size(); ++i, y += step)
        ys.push_back(y);
    return lines_element(classes, anchor_x(slot, side), ys, fit.size, anchor_of(side), fit.lines,
                         code_point_attribute(label));
}

std::string dead_label(const Label &label, Level level, Box slot, const std::string &classes)
{
    const double side_length = std::min({character_size(level) * 1.3, slot.w, slot.h});
    const double x = side_of(level) == Side::Left ? slot.x : slot.x + slot.w - side_length;
    const double y = edge_of(level) == Edge::Top ? slot.y : slot.y + slot.h - side_length;
    return rect_element("dead-cell", Box{x, y, side_length, side_length}, 3) +
           text_element(classes, x + side_length / 2, y + side_length * 0.74, side_length * 0.72,
                        "middle", shown_text(label), code_point_attribute(label));
}

std::string label_svg(const Label &label, Level level, Box slot, bool caps, double largest)
{
    const std::string classes = label_classes(label, level, caps);
    switch (label.kind) {
    case Label::Kind::Dead: return dead_label(label, level, slot, classes);
    case Label::Kind::Named: return named_label(label, level, slot, classes);
    case Label::Kind::Character: break;
    }
    return character_label(label, level, slot, classes, largest);
}

Box cap_box(const KeyPlace &place, double unit, Box block)
{
    return {block.x + place.x * unit + kInset, block.y + place.y * unit + kInset,
            place.w * unit - 2 * kInset, place.h * unit - 2 * kInset};
}

std::string cap_shape(const KeyPlace &place, Box cap, double unit)
{
    if (place.reach_left <= 0)
        return rect_element("cap", cap, 5);
    // The ISO Enter: its upper row reaches over the key left of its lower row.
    const double left = cap.x - place.reach_left * unit;
    const double step = cap.y + unit - 2 * kInset;
    const double right = cap.x + cap.w, bottom = cap.y + cap.h;
    return "<path class=\"cap\" d=\"M" + px(left) + " " + px(cap.y) + "H" + px(right) + "V" +
           px(bottom) + "H" + px(cap.x) + "V" + px(step) + "H" + px(left) + "Z\"/>";
}

std::string key_title(const KeyFace &key, const Layer &layer)
{
    std::string title = "key " + key_text(key.place.scan);
    for (size_t i = 0; i < kLevels.size(); ++i) {
        if (const std::optional<Label> &label = key.levels[i]) {
            title += "; " + level_name(layer, kLevels[i]) + ": ";
            title += label->kind == Label::Kind::Dead ? "dead " + shown_text(*label) + " " +
                                                            code_points(label->text)
                                                      : code_points(label->text) + " " +
                                                            shown_text(*label);
        }
    }
    return title;
}

FittedText caption_fit(const KeyFace &key, Box area)
{
    if (!key.caption)
        return {};
    return fit_text(utf8(*key.caption), area.w, area.h / 3, 9.5, 5.5, kMixedEm);
}

double band_height(const FittedText &caption)
{
    return caption.lines.empty() ? 0
                                 : static_cast<double>(caption.lines.size()) * caption.size *
                                           kLineHeight + 2;
}

std::string caption_svg(const FittedText &caption, Box area)
{
    if (caption.lines.empty())
        return "";
    const double step = caption.size * kLineHeight;
    const double count = static_cast<double>(caption.lines.size());
    double y = area.y + area.h / 2 - (count * step) / 2 + caption.size * 0.85;
    std::vector<double> ys;
    for (size_t i = 0; i < caption.lines.size(); ++i, y += step)
        ys.push_back(y);
    return lines_element("caption", area.x + area.w / 2, ys, caption.size, "middle", caption.lines);
}

// What Caps Lock changes on a key, in the middle band: each changed level on
// its own side, the Shift levels above the others, and a lock mark.  A level
// that Caps Lock empties is left as it is.
std::string caps_svg(const KeyFace &key, Box area)
{
    if (!key.caps_levels)
        return "";
    std::vector<Level> changed;
    for (Level level : kLevels) {
        const std::optional<Label> &now = (*key.caps_levels)[index_of(level)];
        if (now && *now != key.levels[index_of(level)])
            changed.push_back(level);
    }
    const bool both_edges =
        std::any_of(changed.begin(), changed.end(), [](Level l) { return edge_of(l) == Edge::Top; }) &&
        std::any_of(changed.begin(), changed.end(), [](Level l) { return edge_of(l) == Edge::Bottom; });
    constexpr double kSize = 16, kMark = 14;
    const double middle = area.y + area.h / 2;
    std::string out;
    for (Level level : changed) {
        const double y = !both_edges ? middle - kSize / 2
                         : edge_of(level) == Edge::Top ? middle - kSize
                                                       : middle;
        const Box slot{side_of(level) == Side::Left ? area.x + kMark : area.x + area.w / 2, y,
                       area.w / 2 - kMark, kSize};
        Label shown = *(*key.caps_levels)[index_of(level)];
        const std::string classes = label_classes(shown, level, true);
        if (shown.kind == Label::Kind::Dead)
            shown.kind = Label::Kind::Character;   // no room for a cell here
        out += shown.kind == Label::Kind::Named ? named_label(shown, level, slot, classes)
                                                : character_label(shown, level, slot, classes, kSize);
    }
    return out + text_element("caps-mark", area.x, middle + 5, 12, "start", "\u21EA");
}

}  // namespace

std::string key_svg(const KeyFace &key, const Layer &layer, double unit, Box block,
                    std::string_view prefix)
{
    const Box cap = cap_box(key.place, unit, block);
    const Box area{cap.x + kPad, cap.y + kPad, cap.w - 2 * kPad, cap.h - 2 * kPad};
    const FittedText caption = caption_fit(key, area);
    const bool stacked = key.place.h >= 2 && any_named(key.levels);
    const double band = std::max(band_height(caption), key.caps_levels ? 20.0 : 0.0);
    const Slots slots(area, band, key.levels, stacked);

    std::string out = "<g" + attribute("id", std::string(prefix) + "key-" + scan_id(key.place.scan)) +
                      attribute("class", key.lit ? "key lit" : "key") + ">";
    out += "<title>" + xml_escaped(key_title(key, layer)) + "</title>";
    out += cap_shape(key.place, cap, unit);
    if (key.lit)
        out += "<circle class=\"led\"" + attribute("cx", cap.x + cap.w - 8) +
               attribute("cy", cap.y + 8) + " r=\"3.5\"/>";
    for (Level level : kLevels)
        if (const std::optional<Label> &label = key.levels[index_of(level)])
            out += label_svg(*label, level, slots.slot(level), false, character_size(level));
    out += caps_svg(key, area);
    out += caption_svg(caption, area);
    return out + "</g>\n";
}

}  // namespace wendol::chart
