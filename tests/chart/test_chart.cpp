// test_chart.cpp - `wendol chart`: its files are well-formed and
// self-contained, every label it draws is what the engine types for that key
// in that view, its dead-key tables are the module's, it follows the module
// it is given, and (where Chromium and the fonts are installed) the page
// renders and its fonts carry every character on it.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "base/text.h"
#include "base/xml_text.h"
#include "engine/key_names.h"
#include "support/cli_run.h"
#include "support/image_helpers.h"
#include "support/typing_helpers.h"
#include "support/xml_reader.h"

namespace wendol::test {
namespace {

namespace fs = std::filesystem;

const char *const kSvgFiles[] = {"wendol.svg", "wendol-caps-lock.svg", "wendol-keypad.svg"};
constexpr const char *kPage = "wendol.html";

// A folder of its own under the system's temporary folder, removed with
// everything in it when the last owner lets go.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "wendol-chart-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a folder under " +
                                     fs::temp_directory_path().string());
        path_ = pattern;
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path &path() const { return path_; }

private:
    fs::path path_;
};

std::string read_text(const fs::path &path)
{
    const std::vector<uint8_t> bytes = read_bytes(path.string());
    return {bytes.begin(), bytes.end()};
}

// The chart of a module: the text of each file it wrote.
struct Chart {
    std::shared_ptr<const TempDir> folder = std::make_shared<const TempDir>();
    fs::path dir = folder->path();
    std::map<std::string, std::string> files;
};

Chart draw_chart(const std::string &module)
{
    Chart chart;
    const CliRun run = run_cli({"chart", module, "--out", chart.dir.string()});
    if (run.exit_code != 0)
        throw std::runtime_error("wendol chart failed: " + run.output);
    for (const char *name : kSvgFiles)
        chart.files[name] = read_text(chart.dir / name);
    chart.files[kPage] = read_text(chart.dir / kPage);
    return chart;
}

// The built module's chart, drawn once for all the tests here.
const Chart *built_chart()
{
    static const Chart chart = draw_chart(module_path());
    return &chart;
}

// --- The files ---------------------------------------------------------------

TEST(ChartFiles, AreWellFormedXml)
{
    const Chart *chart = built_chart();
    for (const auto &[name, text] : chart->files) {
        XmlElement root;
        ASSERT_NO_THROW(root = read_xml(text)) << name;
        EXPECT_EQ(root.name, name == kPage ? "html" : "svg") << name;
    }
}

bool installed(const char *program)
{
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(ChartFiles, PassXmllint)
{
    if (!installed("xmllint"))
        GTEST_SKIP() << "no xmllint here (the Debian package libxml2-utils; scripts/build.sh installs it)";
    const Chart *chart = built_chart();
    for (const auto &[name, text] : chart->files) {
        const std::string check = "xmllint --noout " + shell_quoted((chart->dir / name).string());
        EXPECT_EQ(std::system(check.c_str()), 0) << name;
    }
}

TEST(ChartFiles, TheReaderRefusesWhatIsNotXml)
{
    const char *const broken[] = {
        "<svg><g></svg></g>",            // tags that do not nest
        "<svg a=1/>",                    // a value without quotes
        "<svg a=\"1\" a=\"2\"/>",        // an attribute twice
        "<svg>a & b</svg>",              // a bare ampersand
        "<svg>&nbsp;</svg>",             // an entity XML does not define
        "<svg>\x01</svg>",               // a control character
        "<svg/><svg/>",                  // two roots
        "<svg a=\"<\"/>",                // < in an attribute
        "<svg><text>x</svg>",            // left open
        "<svg>\xC0\xAF</svg>",           // '/' in an overlong form
        "<svg>\xED\xA0\x80</svg>",       // a surrogate in UTF-8
        "<svg>\xE2\x82</svg>",           // a sequence cut short
        "<svg>\xF4\x90\x80\x80</svg>",   // past U+10FFFF
        "<svg>&#x 41;</svg>",            // a character reference with a space
        "<svg>&#+65;</svg>",             // or a sign
        "<svg>&#0x41;</svg>",            // or 0x after #
        "<svg>&#x110000;</svg>",         // past U+10FFFF
        "<svg>&#18446744073709551681;</svg>",   // 2^64 + 65, which wraps to 'A'
    };
    for (const char *text : broken)
        EXPECT_THROW(read_xml(text), XmlError) << text;
    EXPECT_EQ(read_xml("<a b='&lt;&#x3B1;'>&amp;<c>d</c></a>").attribute("b"), "<\u03B1");
}

TEST(ChartFiles, EscapingReplacesWhatXmlCannotCarry)
{
    EXPECT_EQ(xml_escaped("a<b & \"c\" 'd'>"), "a&lt;b &amp; &quot;c&quot; &#39;d&#39;&gt;");
    EXPECT_EQ(xml_escaped("\xC3\xA9\x01\xEF\xBF\xBF"), "\xC3\xA9\xEF\xBF\xBD\xEF\xBF\xBD");
    // Each malformed sequence is one U+FFFD, and what follows it survives.
    EXPECT_EQ(xml_escaped("\xE2\x82<"), "\xEF\xBF\xBD&lt;");
    EXPECT_EQ(xml_escaped("\xC0\xAF&"), "\xEF\xBF\xBD\xEF\xBF\xBD&amp;");
}

TEST(ChartFiles, PageHoldsEverythingAndPrintsOnA4Landscape)
{
    const Chart *chart = built_chart();
    const std::string &page = chart->files.at(kPage);
    for (const char *outside : {"src=", "<link", "@import", "url(", "href="})
        EXPECT_EQ(page.find(outside), std::string::npos) << "the page reaches out with " << outside;
    // Addresses only as namespace names, which are never fetched.
    for (size_t at = page.find("http"); at != std::string::npos; at = page.find("http", at + 1))
        EXPECT_EQ(page.substr(at < 7 ? 0 : at - 7, 7), "xmlns=\"") << page.substr(at, 40);
    EXPECT_NE(page.find("@page { size: A4 landscape"), std::string::npos);
    EXPECT_NE(page.find("break-after: page"), std::string::npos);
    EXPECT_NE(page.find("break-inside: avoid"), std::string::npos);

    // The drawings sit in the page, and their ids stay apart.
    const XmlElement root = read_xml(page);
    std::vector<const XmlElement *> drawings, with_id;
    root.find_all([](const XmlElement &e) { return e.name == "svg"; }, drawings);
    root.find_all([](const XmlElement &e) { return !e.attribute("id").empty(); }, with_id);
    EXPECT_EQ(drawings.size(), std::size(kSvgFiles));
    std::set<std::string> ids;
    for (const XmlElement *e : with_id)
        EXPECT_TRUE(ids.insert(e->attribute("id")).second) << "id " << e->attribute("id") << " twice";
}

// --- The labels --------------------------------------------------------------

// One label of a drawing, and the keys that type it, written as a person
// writes them.  `caps` marks the keypad's Caps Lock labels; `through_vk` a
// Shift level that Shift under Num Lock takes away from the key itself.
struct LabelCase {
    const char *file;
    const char *key;      // the key group's id
    const char *level;    // the level's class
    const char *typed;    // keys for the engine
    bool caps = false;
    bool through_vk = false;
};

// The labels of one level on one key; none when it types nothing.
std::vector<const XmlElement *> labels(const XmlElement &drawing, const LabelCase &c)
{
    const XmlElement *key = drawing.find_id(c.key);
    if (!key)
        throw std::runtime_error(std::string("no key ") + c.key + " in " + c.file);
    std::vector<const XmlElement *> found;
    key->find_all(
        [&](const XmlElement &e) {
            return e.has_class("level") && e.has_class(c.level) && e.has_class("caps") == c.caps;
        },
        found);
    return found;
}

// What the drawing should say for what the engine typed: the character,
// the dead character, or the name of a character that does not print.
std::string expected_label(const Typed &typed)
{
    if (typed.dead)
        return utf8(*typed.dead);
    if (typed.text.size() == 1)
        if (const char *name = invisible_name(typed.text.front()))
            return name;
    return utf8(typed.text);
}

TEST(ChartLabels, AreWhatTheEngineTypes)
{
    const Chart *chart = built_chart();
    const LabelCase cases[] = {
        // Caps Lock off: a letter at its four levels, the dead keys on
        // equals and the 102nd key, the extra keys, Enter and space by name.
        {"wendol.svg", "key-sc1E", "plain", "a"},
        {"wendol.svg", "key-sc1E", "shift", "Shift+a"},
        {"wendol.svg", "key-sc1E", "altgr", "AltGr+a"},
        {"wendol.svg", "key-sc1E", "altgr-shift", "AltGr+Shift+a"},
        {"wendol.svg", "key-sc0D", "altgr", "AltGr+="},
        {"wendol.svg", "key-sc0D", "altgr-shift", "AltGr+Shift+="},
        {"wendol.svg", "key-sc02", "altgr", "AltGr+1"},
        {"wendol.svg", "key-sc56", "altgr-shift", "AltGr+Shift+Oem102"},
        {"wendol.svg", "key-sc7D", "shift", "Shift+Yen"},
        {"wendol.svg", "key-sc73", "altgr", "AltGr+AbntC1"},
        {"wendol.svg", "key-sc33", "altgr-shift", "AltGr+Shift+,"},
        {"wendol.svg", "key-sc1C", "altgr", "AltGr+Enter"},
        {"wendol.svg", "key-sc1C", "shift", "Shift+Enter"},
        {"wendol.svg", "key-sc39", "altgr-shift", "AltGr+Shift+Space"},
        {"wendol.svg", "key-sc0F", "shift", "Shift+Tab"},
        {"wendol.svg", "key-scE038", "plain", "AltGr"},
        // Caps Lock on: Greek letters, the Greek dead keys, the fractions
        // typed at once, and AltGr levels the Greek layer leaves empty.
        {"wendol-caps-lock.svg", "key-sc1E", "plain", "CapsLock a"},
        {"wendol-caps-lock.svg", "key-sc1E", "shift", "CapsLock Shift+a"},
        {"wendol-caps-lock.svg", "key-sc1E", "altgr", "CapsLock AltGr+a"},
        {"wendol-caps-lock.svg", "key-sc10", "plain", "CapsLock q"},
        {"wendol-caps-lock.svg", "key-sc11", "plain", "CapsLock w"},
        {"wendol-caps-lock.svg", "key-sc11", "shift", "CapsLock Shift+w"},
        {"wendol-caps-lock.svg", "key-sc27", "plain", "CapsLock ;"},
        {"wendol-caps-lock.svg", "key-sc27", "altgr", "CapsLock AltGr+;"},
        {"wendol-caps-lock.svg", "key-sc02", "altgr", "CapsLock AltGr+1"},
        {"wendol-caps-lock.svg", "key-sc07", "altgr-shift", "CapsLock AltGr+Shift+6"},
        {"wendol-caps-lock.svg", "key-sc03", "altgr-shift", "CapsLock AltGr+Shift+2"},
        {"wendol-caps-lock.svg", "key-sc34", "altgr", "CapsLock AltGr+."},
        // The keypad under Num Lock: digits, box drawing, operators, Enter,
        // the Shift level through the digit's virtual key, and the decimal
        // key's Caps Lock variants.
        {"wendol-keypad.svg", "key-sc47", "plain", "NumLock KP_7"},
        {"wendol-keypad.svg", "key-sc47", "altgr", "NumLock AltGr+KP_7"},
        {"wendol-keypad.svg", "key-sc47", "shift", "NumLock Shift+vk:67", false, true},
        {"wendol-keypad.svg", "key-sc52", "altgr", "NumLock AltGr+KP_0"},
        {"wendol-keypad.svg", "key-sc37", "altgr-shift", "NumLock AltGr+Shift+KP_Multiply"},
        {"wendol-keypad.svg", "key-scE035", "shift", "NumLock Shift+KP_Divide"},
        {"wendol-keypad.svg", "key-scE01C", "altgr-shift", "NumLock AltGr+Shift+KP_Enter"},
        {"wendol-keypad.svg", "key-sc53", "plain", "NumLock KP_Decimal"},
        {"wendol-keypad.svg", "key-sc53", "plain", "NumLock CapsLock KP_Decimal", true},
    };
    std::map<std::string, XmlElement> drawings;
    for (const char *file : kSvgFiles)
        drawings[file] = read_xml(chart->files.at(file));

    for (const LabelCase &c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.key + " " + c.level + " (" + c.typed + ")");
        const Typed typed = type(c.typed);
        const std::vector<const XmlElement *> found = labels(drawings.at(c.file), c);
        if (typed.text.empty() && !typed.dead) {
            EXPECT_TRUE(found.empty()) << "a label where the engine types nothing";
            continue;
        }
        ASSERT_EQ(found.size(), 1u);
        const XmlElement &label = *found.front();
        EXPECT_EQ(label.words(), expected_label(typed));
        EXPECT_EQ(label.has_class("dead"), typed.dead.has_value());
        EXPECT_EQ(label.has_class("via-vk"), c.through_vk);
        if (!typed.dead) {
            EXPECT_EQ(label.attribute("data-cp"), code_point_text(typed.text.front()));
        }
    }
}

TEST(ChartLabels, KeysThatPrintNothingCarryTheModulesName)
{
    const Chart *chart = built_chart();
    const XmlElement drawing = read_xml(chart->files.at("wendol.svg"));
    const std::pair<const char *, ScanCode> keys[] = {
        {"key-sc36", {Prefix::None, 0x36}},
        {"key-scE05B", {Prefix::E0, 0x5B}},
        {"key-scE038", {Prefix::E0, 0x38}},
        {"key-sc0E", {Prefix::None, 0x0E}},
    };
    for (const auto &[id, scan] : keys) {
        const XmlElement *key = drawing.find_id(id);
        ASSERT_NE(key, nullptr) << id;
        std::vector<const XmlElement *> captions;
        key->find_all([](const XmlElement &e) { return e.has_class("caption"); }, captions);
        ASSERT_EQ(captions.size(), 1u) << id;
        const std::optional<std::u16string> name = key_name(keymap().tables(), scan);
        ASSERT_TRUE(name) << id;
        EXPECT_EQ(captions.front()->words(), utf8(*name)) << id;
    }
}

// --- The dead keys -----------------------------------------------------------

std::string group_id(char16_t dead)
{
    char id[16];
    std::snprintf(id, sizeof id, "dead-%04X", static_cast<unsigned>(dead));
    return id;
}

std::vector<std::string> cell_code_points(const XmlElement &group, const char *cell_class)
{
    std::vector<const XmlElement *> cells;
    group.find_all([&](const XmlElement &e) { return e.name == "td" && e.has_class(cell_class) &&
                                                     !e.attribute("data-cp").empty(); },
                   cells);
    std::vector<std::string> out;
    for (const XmlElement *cell : cells)
        out.push_back(cell->attribute("data-cp"));
    return out;
}

TEST(ChartDeadKeys, TablesAreTheModulesInStoredOrder)
{
    const Chart *chart = built_chart();
    const XmlElement page = read_xml(chart->files.at(kPage));
    const std::vector<DeadKeyEntry> &entries = keymap().tables().dead_keys;
    ASSERT_FALSE(entries.empty());

    std::vector<char16_t> order;
    for (const DeadKeyEntry &e : entries)
        if (std::find(order.begin(), order.end(), e.dead) == order.end())
            order.push_back(e.dead);
    std::vector<const XmlElement *> groups;
    page.find_all([](const XmlElement &e) { return e.has_class("dead-group"); }, groups);
    ASSERT_GE(groups.size(), order.size());

    for (size_t g = 0; g < order.size(); ++g) {
        const char16_t dead = order[g];
        SCOPED_TRACE(code_point_text(dead));
        EXPECT_EQ(groups[g]->attribute("id"), group_id(dead));
        std::vector<std::string> bases, results;
        for (const DeadKeyEntry &e : entries)
            if (e.dead == dead) {
                bases.push_back(code_point_text(e.base));
                results.push_back(code_point_text(e.composed));
            }
        EXPECT_EQ(cell_code_points(*groups[g], "base"), bases);
        EXPECT_EQ(cell_code_points(*groups[g], "result"), results);

        const std::optional<std::u16string> name = dead_key_name(keymap().tables(), dead);
        ASSERT_TRUE(name);
        std::vector<const XmlElement *> headings;
        groups[g]->find_all([](const XmlElement &e) { return e.has_class("dead-name"); }, headings);
        ASSERT_EQ(headings.size(), 1u);
        EXPECT_EQ(headings.front()->words(), utf8(*name));
    }
}

TEST(ChartDeadKeys, TellWhereEachIsTyped)
{
    const Chart *chart = built_chart();
    const XmlElement page = read_xml(chart->files.at(kPage));
    // The acute on AltGr with equals in both states and on the semicolon
    // key with Caps Lock on; the tilde on AltGr+Shift+6 in both (AltGr reads
    // the key's own row whatever Caps Lock says).
    const std::pair<char16_t, std::vector<std::string>> cases[] = {
        {u'\u00B4', {"AltGr+=", "Caps Lock off or on", ";", "Caps Lock on"}},
        {u'\u02DC', {"AltGr+Shift+6", "Caps Lock off or on"}},
        {u'\u0385', {"Shift+w", "Caps Lock on"}},
    };
    for (const auto &[dead, words] : cases) {
        const XmlElement *group = page.find_id(group_id(dead));
        ASSERT_NE(group, nullptr) << code_point_text(dead);
        std::vector<const XmlElement *> where;
        group->find_all([](const XmlElement &e) { return e.has_class("where"); }, where);
        ASSERT_EQ(where.size(), 1u);
        const std::string text = where.front()->words();
        for (const std::string &w : words)
            EXPECT_NE(text.find(w), std::string::npos) << w << " in " << text;
        // Each place typed as the chart says types the dead key.
        std::vector<const XmlElement *> chords;
        where.front()->find_all([](const XmlElement &e) { return e.name == "kbd"; }, chords);
        ASSERT_FALSE(chords.empty());
        for (const XmlElement *chord : chords) {
            const Typed off = type(chord->text), on = type("CapsLock " + chord->text);
            EXPECT_TRUE(off.dead == dead || on.dead == dead) << chord->text;
        }
    }
}

// --- A module with another table --------------------------------------------

// The built module with the plain cell of the A key's row changed to 'z',
// found by reading the tables and patched in the file's bytes.
std::string module_with_a_typing_z(const fs::path &dir)
{
    std::vector<uint8_t> bytes = module_bytes();
    const LayoutTables tables = read_tables(map_bytes(bytes));
    for (const CharTable &table : tables.char_tables)
        for (const CharRow &row : table.rows)
            if (row.vk == 'A') {
                put_u16(bytes, file_offset(bytes, row.rva) + 2, u'z');
                // Named as the module is, so that the chart's files are too.
                const std::string path = (dir / "Wendol.dll").string();
                write_bytes(path, bytes);
                return path;
            }
    throw std::runtime_error("no row for the A key");
}

TEST(ChartModule, ADifferentTableDrawsADifferentKey)
{
    const Chart *original = built_chart();
    const TempDir folder;
    const Chart patched = draw_chart(module_with_a_typing_z(folder.path()));
    const LabelCase plain_a{"wendol.svg", "key-sc1E", "plain", "a"};
    const LabelCase shift_a{"wendol.svg", "key-sc1E", "shift", "Shift+a"};
    const LabelCase greek_a{"wendol-caps-lock.svg", "key-sc1E", "plain", "CapsLock a"};
    auto label = [](const Chart &chart, const LabelCase &c) {
        const XmlElement drawing = read_xml(chart.files.at(c.file));
        const std::vector<const XmlElement *> found = labels(drawing, c);
        return found.size() == 1 ? found.front()->words() : std::string("(none)");
    };
    EXPECT_EQ(label(*original, plain_a), "a");
    EXPECT_EQ(label(patched, plain_a), "z");
    // The rest of the key and its Caps Lock row are as they were.
    EXPECT_EQ(label(patched, shift_a), label(*original, shift_a));
    EXPECT_EQ(label(patched, greek_a), label(*original, greek_a));
}

// The files and views are named after the module and the lock: another
// layout's chart is its own, and on a KLLF_SHIFTLOCK layout the lock is
// called a Shift lock.
TEST(ChartModule, FilesAndViewsAreNamedAfterTheModuleAndTheLock)
{
    const TempDir folder;
    const CliRun run = run_cli({"chart", test_layout("altgr_shiftlock", "x64"), "--out",
                                folder.path().string()});
    ASSERT_EQ(run.exit_code, 0) << run.output;
    for (const char *name : {"altgr_shiftlock.svg", "altgr_shiftlock-shift-lock.svg",
                             "altgr_shiftlock-keypad.svg", "altgr_shiftlock.html"})
        EXPECT_TRUE(fs::exists(folder.path() / name)) << name << " missing:\n" << run.output;
    const std::string locked = read_text(folder.path() / "altgr_shiftlock-shift-lock.svg");
    EXPECT_NE(locked.find("Shift Lock on"), std::string::npos);
    const std::string page = read_text(folder.path() / "altgr_shiftlock.html");
    EXPECT_NE(page.find("id=\"shift-lock-on\""), std::string::npos);
    EXPECT_EQ(page.find("greek"), std::string::npos);
    EXPECT_EQ(page.find("latin"), std::string::npos);
    // Neither the legend nor the dead-key tables speak of a Caps Lock, nor
    // of keys at scan codes 7D and 73, which the layout lacks.
    EXPECT_EQ(locked.find("Caps Lock"), std::string::npos);
    EXPECT_EQ(page.find("Caps Lock"), std::string::npos);
    EXPECT_EQ(page.find("narrowed"), std::string::npos);
    EXPECT_EQ(page.find("sc7D"), std::string::npos);
}

// --- Layers ------------------------------------------------------------------

// The texts of the legend's sample key in a drawing, by level class.
std::map<std::string, std::string> sample_key_names(const XmlElement &drawing)
{
    std::vector<const XmlElement *> legends, texts;
    drawing.find_all([](const XmlElement &e) { return e.name == "g" && e.has_class("legend"); },
                     legends);
    if (legends.size() != 1)
        throw std::runtime_error("no legend, or more than one");
    legends.front()->find_all([](const XmlElement &e) { return e.has_class("level"); }, texts);
    std::map<std::string, std::string> names;
    for (const XmlElement *text : texts)
        for (const char *level : {"plain", "shift", "altgr", "altgr-shift"})
            if (text->has_class(level) && !text->has_class("dead") && !text->has_class("named"))
                names[level] = text->words();
    return names;
}

std::string drawing_title(const XmlElement &drawing)
{
    std::vector<const XmlElement *> titles;
    drawing.find_all([](const XmlElement &e) { return e.has_class("title"); }, titles);
    return titles.size() == 1 ? titles.front()->words() : "";
}

// One label of a layer's view: the view, the key, the level as its class
// and as the view names it, and the keys for the engine.
struct LayerCase {
    const char *file;
    const char *title;
    const char *key;
    const char *level;
    const char *name;
    const char *typed;
};

// The Oya variant of the Kana layout has two level keys of its own: every
// column they reach is drawn in the view of the keys that select it, each
// view and level named after those keys.
TEST(ChartLayers, EachFurtherColumnIsDrawnInTheViewOfItsKeys)
{
    const TempDir folder;
    const CliRun run = run_cli({"chart", test_layout("kana_oya", "x64"), "--out",
                                folder.path().string()});
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const Keymap &oya = layout_keymap("kana_oya", "x64");
    const LayerCase cases[] = {
        // view                         title             key         level    named         typed
        {"kana_oya-kana-held.svg",      "Kana held",      "key-sc10", "plain", "Kana",       "sc:29+q"},
        {"kana_oya-kana-held.svg",      "Kana held",      "key-sc2C", "shift", "Kana+Shift", "sc:29+Shift+z"},
        {"kana_oya-kana-held.svg",      "Kana held",      "key-sc11", "plain", "Kana",       "sc:29+w"},
        {"kana_oya-oya-held.svg",       "Oya held",       "key-sc11", "plain", "Oya",        "sc:0F+w"},
        {"kana_oya-oya-held.svg",       "Oya held",       "key-sc1F", "shift", "Oya+Shift",  "sc:0F+Shift+s"},
        {"kana_oya-kana-oya-held.svg",  "Kana+Oya held",  "key-sc11", "plain", "Kana+Oya",   "sc:29+sc:0F+w"},
        {"kana_oya-kana-oya-held.svg",  "Kana+Oya held",  "key-sc1F", "plain", "Kana+Oya",   "sc:29+sc:0F+s"},
    };
    for (const LayerCase &c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.key + " " + c.level + " (" + c.typed + ")");
        const XmlElement drawing = read_xml(read_text(folder.path() / c.file));
        EXPECT_EQ(drawing_title(drawing), std::string("kana_oya \u00B7 ") + c.title);
        const std::vector<const XmlElement *> found =
            labels(drawing, LabelCase{c.file, c.key, c.level, c.typed});
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found.front()->words(), typed_on(oya, c.typed));
        EXPECT_EQ(sample_key_names(drawing)[c.level], c.name);
    }
    // The layout has no AltGr (its right Alt key is Alt) and types its Kana
    // columns only in their views: no AltGr level anywhere, nor a word of
    // columns left undrawn.
    const std::string page = read_text(folder.path() / "kana_oya.html");
    for (const char *altgr : {"level altgr", "AltGr:", "AltGr+", "AltGr levels"})
        EXPECT_EQ(page.find(altgr), std::string::npos) << altgr;
    EXPECT_EQ(page.find("Not drawn"), std::string::npos);
    EXPECT_NE(page.find("id=\"kana-oya-held\""), std::string::npos);
    const XmlElement plain = read_xml(read_text(folder.path() / "kana_oya.svg"));
    EXPECT_TRUE(labels(plain, LabelCase{"kana_oya.svg", "key-sc11", "plain", "w"}).size() == 1);
    EXPECT_EQ(sample_key_names(plain), (std::map<std::string, std::string>{
                                           {"plain", "plain"}, {"shift", "Shift"}}));
}

// Our own module reaches no column beyond the four levels: its chart is the
// three drawings and the page, each legend naming the four levels.
TEST(ChartLayers, OurModuleHasNone)
{
    const Chart *chart = built_chart();
    size_t files = 0;
    for (const fs::directory_entry &entry : fs::directory_iterator(chart->dir))
        files += entry.path().extension() == ".svg" || entry.path().extension() == ".html";
    EXPECT_EQ(files, std::size(kSvgFiles) + 1);
    const std::map<std::string, std::string> standard = {
        {"plain", "plain"}, {"shift", "Shift"}, {"altgr", "AltGr"}, {"altgr-shift", "AltGr+Shift"}};
    for (const char *file : kSvgFiles) {
        EXPECT_EQ(sample_key_names(read_xml(chart->files.at(file))), standard) << file;
        EXPECT_NE(chart->files.at(file).find("Every level as the module types it; blue: the"),
                  std::string::npos)
            << file;
    }
}

// A key whose cell is a ligature shows the characters it types at once.
TEST(ChartModule, LigatureKeysShowTheirCharacters)
{
    const TempDir folder;
    const CliRun run = run_cli({"chart", test_layout("ligature", "arm64"), "--out",
                                folder.path().string()});
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::string drawing = read_text(folder.path() / "ligature.svg");
    EXPECT_NE(drawing.find("Shift: U+0049 U+004A IJ"), std::string::npos);
    EXPECT_NE(drawing.find(">ffi<"), std::string::npos);
}

// --- Rendering ---------------------------------------------------------------

std::string chromium(const std::string &arguments)
{
    const TempDir profile;
    const std::string command =
        "timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-background-networking "
        "--disable-component-update --disable-sync --no-first-run --hide-scrollbars "
        "--user-data-dir=" + shell_quoted(profile.path().string()) + " " + arguments + " 2>/dev/null";
    std::string out;
    if (FILE *pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

uint32_t big_endian(const std::vector<uint8_t> &bytes, size_t at)
{
    return uint32_t{bytes.at(at)} << 24 | uint32_t{bytes.at(at + 1)} << 16 |
           uint32_t{bytes.at(at + 2)} << 8 | bytes.at(at + 3);
}

TEST(ChartRendering, ChromiumDrawsThePage)
{
    if (!installed("chromium"))
        GTEST_SKIP() << "no chromium here (scripts/chart-deps.sh installs it)";
    const Chart *chart = built_chart();
    const std::string url = "file://" + fs::absolute(chart->dir / kPage).string();

    const std::string dom = chromium("--dump-dom " + shell_quoted(url));
    EXPECT_NE(dom.find("id=\"caps-lock-off-key-sc1E\""), std::string::npos)
        << "the page did not load";
    EXPECT_NE(dom.find("id=\"dead-00B4\""), std::string::npos);

    const fs::path shot = chart->dir / "shot.png";
    chromium("--window-size=1200,800 --screenshot=" + shell_quoted(shot.string()) + " " +
             shell_quoted(url));
    ASSERT_TRUE(fs::exists(shot));
    const std::vector<uint8_t> png = read_bytes(shot.string());
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    EXPECT_EQ(big_endian(png, 16), 1200u);   // IHDR width
    EXPECT_EQ(big_endian(png, 20), 800u);    // and height
    // A blank window compresses to a few kilobytes; a keyboard full of
    // letters does not.
    EXPECT_GT(png.size(), 60'000u);
}

// The code points of the CSS font-family list's faces, as fontconfig has them.
std::vector<std::pair<char32_t, char32_t>> face_coverage(const std::string &family)
{
    std::vector<std::pair<char32_t, char32_t>> ranges;
    FILE *pipe = popen(("fc-list " + shell_quoted(family) + " charset 2>/dev/null").c_str(), "r");
    if (!pipe)
        return ranges;
    std::string out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    pclose(pipe);
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const size_t at = line.find(":charset=");
        if (at == std::string::npos)
            continue;
        std::istringstream words(line.substr(at + 9));
        for (std::string word; words >> word;) {
            const size_t dash = word.find('-');
            const auto first = static_cast<char32_t>(std::stoul(word.substr(0, dash), nullptr, 16));
            const auto last = dash == std::string::npos
                                  ? first
                                  : static_cast<char32_t>(std::stoul(word.substr(dash + 1), nullptr, 16));
            ranges.emplace_back(first, last);
        }
    }
    return ranges;
}

std::vector<std::string> font_families(const std::string &page)
{
    const std::string key = "html { font-family: ";
    const size_t at = page.find(key);
    if (at == std::string::npos)
        return {};
    const std::string list = page.substr(at + key.size(), page.find(';', at) - at - key.size());
    std::vector<std::string> families;
    std::istringstream items(list);
    for (std::string item; std::getline(items, item, ',');) {
        item.erase(0, item.find_first_not_of(" \""));
        item.erase(item.find_last_not_of(" \"") + 1);
        if (item != "sans-serif" && item != "serif" && item != "monospace")
            families.push_back(item);
    }
    return families;
}

std::set<char32_t> code_points_of(const std::string &text)
{
    std::set<char32_t> out;
    for (char32_t c : code_points(text))
        if (c > 0x7E)
            out.insert(c);
    return out;
}

TEST(ChartRendering, TheFontsCarryEveryCharacter)
{
    if (!installed("fc-list"))
        GTEST_SKIP() << "no fontconfig here";
    const Chart *chart = built_chart();
    const std::string &page = chart->files.at(kPage);
    const std::vector<std::string> families = font_families(page);
    ASSERT_FALSE(families.empty()) << "the page names no fonts";
    std::vector<std::pair<char32_t, char32_t>> covered;
    for (const std::string &family : families) {
        const auto ranges = face_coverage(family);
        if (ranges.empty())
            GTEST_SKIP() << family << " is not installed (scripts/chart-deps.sh installs it)";
        covered.insert(covered.end(), ranges.begin(), ranges.end());
    }
    for (char32_t c : code_points_of(page)) {
        const bool has_face = std::any_of(covered.begin(), covered.end(),
                                          [c](const auto &r) { return r.first <= c && c <= r.second; });
        EXPECT_TRUE(has_face) << code_point_text(c) << " " << utf8(c) << " is in no face of the chart";
    }
}

}  // namespace
}  // namespace wendol::test
