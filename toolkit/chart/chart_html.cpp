// chart_html.cpp - the page: XHTML that a browser and an XML parser both
// read, so the views can sit in it as they are drawn.
#include "chart/chart_html.h"

#include <cstdio>

#include "base/text.h"
#include "base/xml_text.h"
#include "chart/chart_style.h"

namespace wendol::chart {

namespace {

constexpr size_t kEntriesPerRow = 4;

std::string escaped(const std::string &text)
{
    return xml_escaped(text);
}

// "é U+00E9", or "SPACE U+0020" for a character that does not print.
std::string character_html(char16_t c)
{
    const char *name = invisible_name(c);
    const std::string shown =
        name ? "<span class=\"named\">" + escaped(name) + "</span>"
             : "<span class=\"ch\">" + escaped(utf8(std::u16string(1, c))) + "</span>";
    return shown + " <span class=\"cp\">" + code_point_text(c) + "</span>";
}

std::string entry_cells(const DeadKeyEntry &entry)
{
    return "<td class=\"base\" data-cp=\"" + code_point_text(entry.base) + "\">" +
           character_html(entry.base) + "</td><td class=\"arrow\">\u2192</td>" +
           "<td class=\"result\" data-cp=\"" + code_point_text(entry.composed) + "\">" +
           character_html(entry.composed) + "</td>";
}

std::string empty_cells()
{
    return "<td class=\"base\"></td><td class=\"arrow\"></td><td class=\"result\"></td>";
}

std::string entries_table(const std::vector<DeadKeyEntry> &entries)
{
    if (entries.empty())
        return "<p class=\"where\">No compositions.</p>\n";
    std::string out = "<table class=\"compositions\"><tbody>\n";
    for (size_t row = 0; row < entries.size(); row += kEntriesPerRow) {
        out += "<tr>";
        for (size_t i = row; i < row + kEntriesPerRow; ++i)
            out += i < entries.size() ? entry_cells(entries[i]) : empty_cells();
        out += "</tr>\n";
    }
    return out + "</tbody></table>\n";
}

std::string where_html(const CompositionGroup &group)
{
    if (group.places.empty())
        return "<p class=\"where\">Typed by no key of the chart.</p>\n";
    std::string places;
    for (const DeadKeyPlace &place : group.places)
        places += std::string(places.empty() ? "" : ", ") + "<kbd>" +
                  escaped(place_chord(place)) + "</kbd> (" + escaped(place_locks(place, group.lock)) + ")";
    return "<p class=\"where\">Typed with " + places + ".</p>\n";
}

std::string group_id(char16_t dead)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "dead-%04X", static_cast<unsigned>(dead));
    return buffer;
}

std::string count_text(size_t count)
{
    return std::to_string(count) + (count == 1 ? " composition" : " compositions");
}

}  // namespace

std::string composition_group_html(const CompositionGroup &group)
{
    const std::string name =
        group.name ? escaped(utf8(*group.name)) : "<em>no name in the module</em>";
    return "<section class=\"dead-group\" id=\"" + group_id(group.dead) + "\">\n" +
           "<h3><span class=\"dead-mark\">" + escaped(utf8(std::u16string(1, group.dead))) +
           "</span> <span class=\"dead-name\">" + name + "</span> <span class=\"cp\">" +
           code_point_text(group.dead) + "</span> <span class=\"count\">" +
           count_text(group.entries.size()) + "</span></h3>\n" + where_html(group) +
           entries_table(group.entries) + "</section>\n";
}

std::string chart_html(const Page &page)
{
    std::string out =
        "<!DOCTYPE html>\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n<head>\n"
        "<meta charset=\"utf-8\"/>\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
        "<title>" + escaped(page.title) + " \u2014 keyboard chart</title>\n"
        "<style>" + page_style() + "</style>\n</head>\n<body>\n";
    for (const PageView &v : page.views)
        out += "<section class=\"view " + v.view->slug + "\" id=\"" + v.view->slug + "\">\n" +
               view_svg(*v.view, v.heading, v.view->slug + "-", SvgForm::Inline) + "</section>\n";
    out += "<section class=\"dead-keys\" id=\"dead-keys\">\n<h2>Dead keys</h2>\n"
           "<p>Each dead key leaves its character pending; the next character is looked up with "
           "it in the module's composition table, in the order shown. A character with no entry "
           "is typed after the dead character.</p>\n";
    for (const CompositionGroup &group : page.groups)
        out += composition_group_html(group);
    return out + "</section>\n</body>\n</html>\n";
}

}  // namespace wendol::chart
