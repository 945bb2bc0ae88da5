// chart_svg.cpp - keys, labels and legend as SVG elements.
//
// Geometry is in px of the drawing's own coordinates; the page scales the
// drawing to its width.  A key's labels sit in its four corners: Shift top
// left, AltGr+Shift top right, plain bottom left, AltGr bottom right.  A tall
// key with names on it (an Enter) stacks them instead, keeping the sides:
// Shift and plain on the left, the AltGr levels on the right.
#include "chart_svg.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "chart_fit.h"
#include "chart_style.h"
#include "key_parse.h"
#include "text.h"
#include "xml_text.h"

namespace wendol::chart {

namespace {

constexpr double kMargin = 16;
constexpr double kHeadingHeight = 50;
constexpr double kInset = 2;         // between neighbouring caps
constexpr double kPad = 5;           // between a cap's edge and its labels
constexpr double kGap = 4;           // between two labels side by side
constexpr double kWideUnit = 64;     // px per key width, alphanumeric block
constexpr double kNarrowUnit = 88;   // the keypad, drawn larger
constexpr double kLegendLine = 15;
constexpr double kLegendText = 10.5;
constexpr double kSwatchWidth = 36;

struct Box {
    double x = 0, y = 0, w = 0, h = 0;
};

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
                         const char *anchor, const std::string &content,
                         const std::string &extra = "")
{
    return "<text" + attribute("class", classes) + attribute("x", x) + attribute("y", y) +
           attribute("font-size", size) +
           (std::string_view(anchor) == "start" ? "" : attribute("text-anchor", anchor)) + extra +
           ">" + xml_escaped(content) + "</text>";
}

// Several lines, each at its own baseline.
std::string lines_element(const std::string &classes, double x, const std::vector<double> &ys,
                          double size, const char *anchor, const std::vector<std::string> &lines,
                          const std::string &extra = "")
{
    std::string out = "<text" + attribute("class", classes) + attribute("x", x) +
                      attribute("y", ys.empty() ? 0 : ys.front()) + attribute("font-size", size) +
                      (std::string_view(anchor) == "start" ? "" : attribute("text-anchor", anchor)) +
                      extra + ">";
    for (size_t i = 0; i < lines.size(); ++i)
        out += "<tspan" + attribute("x", x) + attribute("y", ys[i]) + ">" + xml_escaped(lines[i]) +
               "</tspan>";
    return out + "</text>";
}

// --- Where a level goes on a key ---------------------------------------------

enum class Side { Left, Right };
enum class Edge { Top, Bottom };

Side side_of(Level level)
{
    return level == Level::AltGr || level == Level::AltGrShift ? Side::Right : Side::Left;
}

Edge edge_of(Level level)
{
    return level == Level::Shift || level == Level::AltGrShift ? Edge::Top : Edge::Bottom;
}

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

// --- Labels ------------------------------------------------------------------

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

const char *anchor_of(Side side)
{
    return side == Side::Left ? "start" : "end";
}

double anchor_x(Box slot, Side side)
{
    return side == Side::Left ? slot.x : slot.x + slot.w;
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
    return "<rect class=\"dead-cell\"" + attribute("x", x) + attribute("y", y) +
           attribute("width", side_length) + attribute("height", side_length) +
           " rx=\"3\"/>" +
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

// --- Keys --------------------------------------------------------------------

Box cap_box(const KeyPlace &place, double unit, Box block)
{
    return {block.x + place.x * unit + kInset, block.y + place.y * unit + kInset,
            place.w * unit - 2 * kInset, place.h * unit - 2 * kInset};
}

std::string cap_shape(const KeyPlace &place, Box cap, double unit)
{
    if (place.reach_left <= 0)
        return "<rect class=\"cap\"" + attribute("x", cap.x) + attribute("y", cap.y) +
               attribute("width", cap.w) + attribute("height", cap.h) + " rx=\"5\"/>";
    // The ISO Enter: its upper row reaches over the key left of its lower row.
    const double left = cap.x - place.reach_left * unit;
    const double step = cap.y + unit - 2 * kInset;
    const double right = cap.x + cap.w, bottom = cap.y + cap.h;
    return "<path class=\"cap\" d=\"M" + px(left) + " " + px(cap.y) + "H" + px(right) + "V" +
           px(bottom) + "H" + px(cap.x) + "V" + px(step) + "H" + px(left) + "Z\"/>";
}

std::string key_title(const KeyFace &key)
{
    std::string title = "key " + key_text(key.place.scan);
    for (size_t i = 0; i < kLevels.size(); ++i) {
        if (const std::optional<Label> &label = key.levels[i]) {
            title += std::string("; ") + level_text(kLevels[i]) + ": ";
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

std::string key_svg(const KeyFace &key, double unit, Box block, std::string_view prefix)
{
    const Box cap = cap_box(key.place, unit, block);
    const Box area{cap.x + kPad, cap.y + kPad, cap.w - 2 * kPad, cap.h - 2 * kPad};
    const FittedText caption = caption_fit(key, area);
    const bool stacked = key.place.h >= 2 && any_named(key.levels);
    const double band = std::max(band_height(caption), key.caps_levels ? 20.0 : 0.0);
    const Slots slots(area, band, key.levels, stacked);

    std::string out = "<g" + attribute("id", std::string(prefix) + "key-" + scan_id(key.place.scan)) +
                      attribute("class", key.lit ? "key lit" : "key") + ">";
    out += "<title>" + xml_escaped(key_title(key)) + "</title>";
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

// --- Legend ------------------------------------------------------------------

struct LegendItem {
    enum class Swatch { None, Dead, Named, Caps, Lit };
    Swatch swatch = Swatch::None;
    std::string text;
};

std::vector<LegendItem> legend_items(const View &view)
{
    const ViewContents seen = contents(view);
    const bool lit = std::any_of(view.keys.begin(), view.keys.end(),
                                 [](const KeyFace &k) { return k.lit; });
    using S = LegendItem::Swatch;
    std::vector<LegendItem> items;
    items.push_back({S::None, "Every level as the module types it; blue: the AltGr levels."});
    for (const std::string &note : view.notes)
        items.push_back({S::None, note});
    if (seen.dead)
        items.push_back({S::Dead, "Dead key, with the character it leaves pending; what follows "
                                  "composes with it (see the dead-key tables)."});
    if (seen.named)
        items.push_back({S::Named, "A character that does not print, by its name: control "
                                   "characters, spaces, separators."});
    if (seen.captions)
        items.push_back({S::None, "Grey: the key's name in the module, on keys that type nothing "
                                  "that prints."});
    if (lit)
        items.push_back({S::Lit, view.locks.num_lock ? "Num Lock is on." : "Caps Lock is on."});
    if (seen.caps_variants)
        items.push_back({S::Caps, "Green, in the middle: what the key types instead while Caps "
                                  "Lock is on."});
    if (seen.through_virtual_key)
        items.push_back({S::None, "Italic: Shift with Num Lock on sends the navigation keys; "
                                  "shown is what the digit's own virtual key types with Shift."});
    return items;
}

std::string sample_key(double x, double y)
{
    const Box cap{x, y, 112, 60};
    std::string out = "<rect class=\"cap\"" + attribute("x", cap.x) + attribute("y", cap.y) +
                      attribute("width", cap.w) + attribute("height", cap.h) + " rx=\"5\"/>";
    const double size = 10;
    for (Level level : kLevels) {
        const Side side = side_of(level);
        const double tx = side == Side::Left ? cap.x + kPad + 1 : cap.x + cap.w - kPad - 1;
        const double ty = edge_of(level) == Edge::Top ? cap.y + kPad + size : cap.y + cap.h - kPad - 2;
        out += text_element(std::string("level ") + level_class(level), tx, ty, size,
                            anchor_of(side), level_text(level));
    }
    return out;
}

std::string swatch_svg(LegendItem::Swatch swatch, double x, double baseline)
{
    using S = LegendItem::Swatch;
    const double top = baseline - 11;
    switch (swatch) {
    case S::Dead:
        return "<rect class=\"dead-cell\"" + attribute("x", x) + attribute("y", top - 1) +
               " width=\"16\" height=\"16\" rx=\"3\"/>" +
               text_element("level dead", x + 8, top + 11, 11.5, "middle", "\u00B4");
    case S::Named:
        return text_element("level named", x, baseline - 1, 8, "start", "NAME");
    case S::Caps:
        return text_element("level caps", x + 2, baseline, 12, "start", "\u21EA");
    case S::Lit:
        return "<circle class=\"led\"" + attribute("cx", x + 8) + attribute("cy", baseline - 4) +
               " r=\"3.5\"/>";
    case S::None: break;
    }
    return "";
}

struct Legend {
    std::string svg;
    double height = 0;
};

Legend legend_svg(const View &view, Box box)
{
    Legend legend;
    legend.svg = "<g class=\"legend\">" + sample_key(box.x, box.y);
    const double text_x = box.x + 112 + 16 + kSwatchWidth;
    const double width = box.x + box.w - text_x;
    double y = box.y + 11;
    for (const LegendItem &item : legend_items(view)) {
        legend.svg += swatch_svg(item.swatch, text_x - kSwatchWidth, y);
        const std::vector<std::string> lines = wrap_words(item.text, width, kLegendText, kMixedEm * 0.95);
        std::vector<double> ys;
        for (size_t i = 0; i < lines.size(); ++i, y += kLegendLine)
            ys.push_back(y);
        legend.svg += lines_element("legend", text_x, ys, kLegendText, "start", lines);
        y += 3;
    }
    legend.svg += "</g>\n";
    legend.height = std::max(60.0, y - box.y);
    return legend;
}

// --- The drawing -------------------------------------------------------------

std::string heading_svg(const Heading &heading)
{
    return text_element("title", kMargin, kMargin + 16, 18, "start", heading.title) +
           text_element("subtitle", kMargin, kMargin + 33, 11, "start", heading.subtitle) + "\n";
}

}  // namespace

std::string view_svg(const View &view, const Heading &heading, std::string_view id_prefix,
                     SvgForm form)
{
    // A narrow block (the keypad) is drawn larger, with its legend beside it.
    const bool narrow = view.width < 6;
    const double unit = narrow ? kNarrowUnit : kWideUnit;
    const Box block{kMargin, kMargin + kHeadingHeight, view.width * unit, view.height * unit};
    const double legend_width = narrow ? 440 : block.w;
    const Box legend_box = narrow ? Box{block.x + block.w + 24, block.y, legend_width, block.h}
                                  : Box{block.x, block.y + block.h + 16, legend_width, 0};
    const Legend legend = legend_svg(view, legend_box);
    const double width = (narrow ? legend_box.x + legend_box.w : block.x + block.w) + kMargin;
    const double height =
        (narrow ? block.y + std::max(block.h, legend.height) : legend_box.y + legend.height) +
        kMargin;

    std::string out;
    if (form == SvgForm::Document)
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\"" +
           attribute("id", std::string(id_prefix) + "chart") +
           attribute("viewBox", "0 0 " + px(width) + " " + px(height)) +
           attribute("width", width) + attribute("height", height) + " role=\"img\">\n";
    out += "<title>" + xml_escaped(heading.title) + "</title>\n";
    out += "<style>" + drawing_style() + "</style>\n";
    out += "<rect class=\"paper\" x=\"0\" y=\"0\"" + attribute("width", width) +
           attribute("height", height) + "/>\n";
    out += heading_svg(heading);
    for (const KeyFace &key : view.keys)
        out += key_svg(key, unit, block, id_prefix);
    out += legend.svg;
    return out + "</svg>\n";
}

}  // namespace wendol::chart
