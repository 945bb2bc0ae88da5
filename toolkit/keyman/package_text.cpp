// package_text.cpp - the package source and the welcome page.
#include "keyman/package_text.h"

#include <algorithm>

#include "base/text.h"
#include "base/xml_text.h"

namespace wendol::keyman {

namespace {

std::string file_entry(const std::string &name, const std::string &description)
{
    return "    <File>\n      <Name>" + xml_escaped(name) + "</Name>\n      <Description>" +
           xml_escaped(description) + "</Description>\n    </File>\n";
}

}  // namespace

std::string package_source_text(const KeyboardNames &names, bool with_chart)
{
    const std::string name = xml_escaped(names.name);
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    out += "<!-- " + xml_escaped(names.id) + ".kps - the Keyman package of " + xml_escaped(names.origin) +
           ", written by wendol keyman. -->\n";
    out += "<Package>\n  <System>\n    <KeymanDeveloperVersion>17.0.331</KeymanDeveloperVersion>\n"
           "    <FileVersion>7.0</FileVersion>\n  </System>\n";
    out += "  <Options>\n    <WelcomeFile>welcome.htm</WelcomeFile>\n  </Options>\n";
    out += "  <Info>\n    <Name>" + name + "</Name>\n    <Version>" + xml_escaped(names.version) +
           "</Version>\n";
    if (!names.copyright.empty())
        out += "    <Copyright>" + xml_escaped(names.copyright) + "</Copyright>\n";
    out += "  </Info>\n  <Files>\n";
    out += file_entry(names.id + ".kmx", "Keyboard " + names.name);
    out += file_entry(names.id + ".js", "Keyboard " + names.name + " for web, phones and tablets");
    out += file_entry("welcome.htm", "Welcome page");
    if (with_chart)
        out += file_entry(names.id + "-chart.htm", "Chart of the layout");
    out += "  </Files>\n  <Keyboards>\n    <Keyboard>\n";
    out += "      <Name>" + name + "</Name>\n      <ID>" + xml_escaped(names.id) + "</ID>\n";
    out += "      <Version>" + xml_escaped(names.version) + "</Version>\n";
    out += "      <Languages>\n";
    if (!names.language.empty())
        out += "        <Language ID=\"" + xml_escaped(names.language) + "\">" +
               xml_escaped(names.language) + "</Language>\n";
    out += "      </Languages>\n    </Keyboard>\n  </Keyboards>\n</Package>\n";
    return out;
}

std::string welcome_text(const KeymanLayout &layout, const KeyboardNames &names, bool with_chart)
{
    const std::string name = xml_escaped(names.name);
    std::string out = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + name +
                      "</title>\n</head>\n<body>\n<h1>" + name + "</h1>\n";
    out += "<p>" + name + " " + xml_escaped(names.version) + ", the keyboard of " + xml_escaped(names.origin) +
           ": every key types what it types on Windows.</p>\n";
    const auto uses = [&](auto predicate) {
        return std::any_of(layout.keys.begin(), layout.keys.end(), predicate);
    };
    out += "<ul>\n";
    if (uses([](const KeyRule &r) { return r.modifiers.altgr && !r.output.nothing(); }))
        out += "<li>The AltGr characters: hold the right Alt key (on a phone or tablet, press "
               "and hold a key).</li>\n";
    if (uses([](const KeyRule &r) { return r.caps == CapsMatch::On && !r.output.nothing(); }))
        out += std::string("<li>") + (layout.shift_frees_caps ? "Shift Lock" : "Caps Lock") +
               " gives the keys the characters of their own layer (on a phone or tablet, "
               "tap Shift twice).</li>\n";
    if (!layout.dead_keys.empty()) {
        std::string dead;
        for (char16_t d : layout.dead_keys)
            append_item(dead, utf8(std::u16string(1, d)));
        out += "<li>Dead keys (" + xml_escaped(dead) + "): press one, then the letter. A key it "
               "does not go with types the accent, then the key.</li>\n";
    }
    out += "</ul>\n";
    if (with_chart)
        out += "<p><a href=\"" + xml_escaped(names.id) + "-chart.htm\">The chart</a> shows every key.</p>\n";
    out += "<p>Not in this keyboard:</p>\n<ul>\n";
    for (const Unwritten &u : layout.unwritten)
        out += "<li>" + xml_escaped(unwritten_text(u)) + "</li>\n";
    out += "</ul>\n</body>\n</html>\n";
    return out;
}

}  // namespace wendol::keyman
