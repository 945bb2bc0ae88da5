// klc_read.cpp - a .klc source read into its model.
//
// The source is a run of keyword lines; a section keyword (SHIFTSTATE,
// LAYOUT, DEADKEY, ...) takes the lines after it until the next keyword.
// Each line is read as it comes; what one line says of another (a %% cell
// and its LIGATURE line) is judged once ENDKBD is reached.
#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "base/error.h"
#include "base/numbers.h"
#include "base/text.h"
#include "klc/klc_text.h"
#include "klc_lines.h"
#include "klc_syntax.h"
#include "tables/vk_names.h"

namespace wendol {

namespace {

using klc::LineFields;
using klc::shown;

enum class Keyword : uint8_t {
    Kbd, Copyright, Company, LocaleName, LocaleId, Version,
    Attributes, ShiftState, Layout, DeadKey, Ligature,
    KeyName, KeyNameExt, KeyNameDead, Descriptions, LanguageNames, EndKbd,
};

constexpr std::pair<std::u16string_view, Keyword> kKeywords[] = {
    {u"KBD", Keyword::Kbd},                   {u"COPYRIGHT", Keyword::Copyright},
    {u"COMPANY", Keyword::Company},           {u"LOCALENAME", Keyword::LocaleName},
    {u"LOCALEID", Keyword::LocaleId},         {u"VERSION", Keyword::Version},
    {u"ATTRIBUTES", Keyword::Attributes},     {u"SHIFTSTATE", Keyword::ShiftState},
    {u"LAYOUT", Keyword::Layout},             {u"DEADKEY", Keyword::DeadKey},
    {u"LIGATURE", Keyword::Ligature},         {u"KEYNAME", Keyword::KeyName},
    {u"KEYNAME_EXT", Keyword::KeyNameExt},    {u"KEYNAME_DEAD", Keyword::KeyNameDead},
    {u"DESCRIPTIONS", Keyword::Descriptions}, {u"LANGUAGENAMES", Keyword::LanguageNames},
    {u"ENDKBD", Keyword::EndKbd},
};
constexpr size_t kKeywordCount = std::size(kKeywords);

// Keywords are uppercase, as the layout creator writes them; "layout" is
// not one, and is refused as the line of a section.
std::optional<Keyword> keyword(std::u16string_view word)
{
    for (const auto &[name, k] : kKeywords)
        if (name == word)
            return k;
    return std::nullopt;
}

std::string keyword_name(Keyword k)
{
    return utf8(kKeywords[static_cast<size_t>(k)].first);
}

// A character field of DEADKEY, LIGATURE and KEYNAME_DEAD: four hex digits,
// or the character itself.  "1" is the digit one; "0031" is it too.
char16_t character_field(const LineFields &f, std::u16string_view word, const std::string &what)
{
    if (word.size() == 1 && !klc::is_surrogate(word[0]))
        return word[0];
    if (const auto code = klc::hex_value(word, 4))
        return static_cast<char16_t>(*code);
    f.fail(what + " (a character, or four hex digits)", shown(word));
}

// The cell of a LAYOUT line.
KlcCell cell_field(const LineFields &f, std::u16string_view word, const std::string &what)
{
    if (word == u"-1")
        return {KlcCell::Kind::None, 0};
    if (word == u"%%")
        return {KlcCell::Kind::Ligature, 0};
    const bool dead = word.size() > 1 && word.back() == u'@';
    const std::u16string_view ch = dead ? word.substr(0, word.size() - 1) : word;
    const KlcCell::Kind kind = dead ? KlcCell::Kind::Dead : KlcCell::Kind::Character;
    if (ch.size() == 1 && !klc::is_surrogate(ch[0]))
        return {kind, ch[0]};
    if (const auto code = klc::hex_value(ch, 4))
        return {kind, static_cast<char16_t>(*code)};
    f.fail(what + ": -1, %%, a character or four hex digits, and @ after a dead key's", shown(word));
}

uint64_t decimal_field(const LineFields &f, std::u16string_view word, uint64_t max,
                       const std::string &what)
{
    const auto ascii = klc::narrowed(word);
    const auto n = ascii ? parse_number(*ascii, NumberForm::Decimal, max) : std::nullopt;
    if (!n)
        f.fail(what, shown(word));
    return *n;
}

class Reader {
public:
    KlcSource read(const std::vector<std::u16string> &lines);

private:
    void line(std::u16string_view text, int number);
    void keyword_line(Keyword k, LineFields &f);
    void open_section(Keyword k, LineFields &f);
    void close_section(const LineFields &f);
    void entry_line(std::u16string_view first, LineFields &f);

    void kbd_line(LineFields &f);
    void version_line(LineFields &f);
    void attribute_line(std::u16string_view first, LineFields &f);
    void shift_state_line(std::u16string_view first, LineFields &f);
    void layout_line(std::u16string_view first, LineFields &f);
    void caps_row_line(LineFields &f);
    void dead_key_line(std::u16string_view first, LineFields &f);
    void ligature_line(std::u16string_view first, LineFields &f);
    void key_name_line(std::u16string_view first, LineFields &f, std::vector<KlcKeyName> &names);
    void dead_key_name_line(std::u16string_view first, LineFields &f);
    void localized_line(std::u16string_view first, LineFields &f, std::vector<KlcLocalized> &texts);

    void read_scan_code(std::u16string_view word, const LineFields &f, KlcKey &key);
    uint8_t read_vk(std::u16string_view word, const LineFields &f) const;
    void read_cap(std::u16string_view word, const LineFields &f, KlcKey &key) const;

    void check_ligatures() const;
    const KlcKey *key_of(uint8_t vk) const;

    KlcSource source_;
    std::optional<Keyword> section_;          // the section whose lines these are
    std::array<int, kKeywordCount> seen_{};   // the line of each keyword, 0 until then
    bool ended_ = false;
    // LAYOUT: the line of each scan code (plain, E0, E1) and virtual key.
    std::array<int, 3 * 0x80> scan_lines_{};
    std::array<int, 0x100> vk_keys_{};        // the index of the key plus one
    std::optional<size_t> awaiting_caps_row_;   // an SGCap key before its Caps Lock row
    std::map<char16_t, int> dead_lines_;
    std::vector<int> ligature_lines_;
};

KlcSource Reader::read(const std::vector<std::u16string> &lines)
{
    for (size_t i = 0; i < lines.size() && !ended_; ++i)
        line(lines[i], static_cast<int>(i + 1));
    if (!ended_) {
        const int last = static_cast<int>(lines.size());
        fail(klc::line_place(last), seen_[0] ? "ENDKBD" : "KBD", "the end of the file");
    }
    check_ligatures();
    return std::move(source_);
}

void Reader::line(std::u16string_view text, int number)
{
    if (klc::is_comment_line(text))
        return;
    LineFields f(text, number, section_ != Keyword::Layout);
    const std::u16string_view first = f.word("a keyword");
    const std::optional<Keyword> k = keyword(first);
    if (!seen_[0] && k != Keyword::Kbd)
        f.fail("KBD, the first line that is not a comment", shown(first));
    if (k)
        keyword_line(*k, f);
    else
        entry_line(first, f);
}

void Reader::keyword_line(Keyword k, LineFields &f)
{
    close_section(f);
    int &seen = seen_[static_cast<size_t>(k)];
    if (seen && k != Keyword::DeadKey)
        f.fail("one " + keyword_name(k) + " line (the first is line " + std::to_string(seen) + ")",
               "another");
    seen = f.number();
    f.outside_layout();   // a keyword's own line is: `;` after a value begins a comment
    switch (k) {
    case Keyword::Kbd:
        kbd_line(f);
        return;
    case Keyword::Copyright:
        source_.copyright = f.text("the copyright");
        break;
    case Keyword::Company:
        source_.company = f.text("the company");
        break;
    case Keyword::LocaleName: {
        const std::u16string text = f.text("a locale name such as \"en-US\"");
        const auto name = klc::narrowed(text);
        if (!name || !klc::is_locale_name(*name))
            f.fail("a locale name of letters, digits and hyphens", shown(text));
        source_.locale_name = *name;
        break;
    }
    case Keyword::LocaleId: {
        const std::u16string id = f.text("a locale id of eight hex digits");
        const auto value = klc::hex_value(id, 8);
        if (!value)
            f.fail("a locale id of eight hex digits, such as \"00000409\"", shown(id));
        source_.locale_id = *value;
        break;
    }
    case Keyword::Version:
        version_line(f);
        return;
    case Keyword::EndKbd:
        ended_ = true;
        if (!seen_[static_cast<size_t>(Keyword::Layout)])
            f.fail("a LAYOUT section before ENDKBD", "none");
        return;
    default:
        open_section(k, f);
        return;
    }
    f.end();
}

void Reader::open_section(Keyword k, LineFields &f)
{
    if (k == Keyword::Layout && !seen_[static_cast<size_t>(Keyword::ShiftState)])
        f.fail("a SHIFTSTATE section before LAYOUT", "LAYOUT");
    if (k == Keyword::DeadKey) {
        const std::u16string_view word = f.word("the dead character");
        const char16_t dead = character_field(f, word, "the dead character");
        const auto [first, added] = dead_lines_.emplace(dead, f.number());
        if (!added)
            f.fail("one DEADKEY section for " + character_label(dead) + " (the first is line " +
                       std::to_string(first->second) + ")",
                   "another");
        source_.dead_keys.push_back({dead, {}});
    }
    f.end();
    section_ = k;
}

// What a section must hold by the time the next keyword comes.
void Reader::close_section(const LineFields &f)
{
    if (section_ == Keyword::ShiftState && source_.shift_states.empty())
        f.fail("a shift state (0 to 15) under SHIFTSTATE", "no line");
    if (awaiting_caps_row_)
        f.fail("the Caps Lock row of the SGCap key on line " +
                   std::to_string(source_.keys[*awaiting_caps_row_].line) + " (-1 -1 0 ...)",
               "the end of the LAYOUT section");
    section_.reset();
}

void Reader::entry_line(std::u16string_view first, LineFields &f)
{
    if (!section_)
        f.fail("a keyword such as LAYOUT or DEADKEY", shown(first));
    switch (*section_) {
    case Keyword::Attributes: attribute_line(first, f); break;
    case Keyword::ShiftState: shift_state_line(first, f); break;
    case Keyword::Layout: layout_line(first, f); break;
    case Keyword::DeadKey: dead_key_line(first, f); break;
    case Keyword::Ligature: ligature_line(first, f); break;
    case Keyword::KeyName: key_name_line(first, f, source_.key_names); break;
    case Keyword::KeyNameExt: key_name_line(first, f, source_.key_names_ext); break;
    case Keyword::KeyNameDead: dead_key_name_line(first, f); break;
    case Keyword::Descriptions: localized_line(first, f, source_.descriptions); break;
    case Keyword::LanguageNames: localized_line(first, f, source_.language_names); break;
    default: f.fail("a keyword", shown(first));
    }
}

// KBD name "description": the description may be left out.
void Reader::kbd_line(LineFields &f)
{
    const std::u16string name = f.text("the layout's name");
    const auto ascii = klc::narrowed(name);
    if (!ascii || !klc::is_module_name(*ascii))
        f.fail("a layout name of printable ASCII", shown(name));
    source_.name = *ascii;
    if (!f.at_end())
        source_.description = f.text("the layout's description");
    f.end();
}

// VERSION major.minor; a bare major is minor 0.
void Reader::version_line(LineFields &f)
{
    const std::u16string_view word = f.word("a version such as 1.0");
    const size_t dot = word.find(u'.');
    const std::string what = "a version such as 1.0 (each number at most 65535)";
    source_.version_major = static_cast<uint16_t>(decimal_field(f, word.substr(0, dot), 0xFFFF, what));
    source_.version_minor = dot == std::u16string_view::npos
                                ? 0
                                : static_cast<uint16_t>(decimal_field(f, word.substr(dot + 1), 0xFFFF, what));
    f.end();
}

void Reader::attribute_line(std::u16string_view first, LineFields &f)
{
    if (first == u"ALTGR")
        source_.altgr = true;
    else if (first == u"SHIFTLOCK")
        source_.shift_lock = true;
    else if (first == u"LRM_RLM")
        source_.lrm_rlm = true;
    else
        f.fail("an attribute: ALTGR, SHIFTLOCK or LRM_RLM", shown(first));
    f.end();
}

void Reader::shift_state_line(std::u16string_view first, LineFields &f)
{
    const auto state = static_cast<uint8_t>(
        decimal_field(f, first, kKlcStateBits, "a shift state from 0 to 15"));
    const auto &states = source_.shift_states;
    const auto before = std::find(states.begin(), states.end(), state);
    if (before != states.end())
        f.fail("each shift state once",
               std::to_string(state) + ", already column " + std::to_string(before - states.begin()));
    source_.shift_states.push_back(state);
    f.end();
}

void Reader::read_scan_code(std::u16string_view word, const LineFields &f, KlcKey &key)
{
    const std::string what = "a scan code (two hex digits, or e0 or e1 and two)";
    std::u16string_view code = word;
    if (word.size() == 4) {
        const auto prefix = klc::hex_value(word.substr(0, 2), 2);
        if (prefix != 0xE0u && prefix != 0xE1u)
            f.fail(what, shown(word));
        key.prefix = static_cast<uint8_t>(*prefix);
        code = word.substr(2);
    }
    const auto scan = klc::hex_value(code, 2);
    if (!scan)
        f.fail(what, shown(word));
    if (*scan > klc::kMaxScan)
        f.fail("a scan code below 80", shown(word));
    key.scan = static_cast<uint8_t>(*scan);
    const size_t slot = (key.prefix == 0 ? 0 : key.prefix == 0xE0 ? 1 : 2) * 0x80 + key.scan;
    if (scan_lines_[slot])
        f.fail("each scan code once", shown(word) + ", already on line " + std::to_string(scan_lines_[slot]));
    scan_lines_[slot] = f.number();
}

uint8_t Reader::read_vk(std::u16string_view word, const LineFields &f) const
{
    const auto vk = klc::vk_for_name(word);
    if (!vk)
        f.fail("a virtual key such as A, 1, OEM_PLUS or SPACE", shown(word));
    return *vk;
}

void Reader::read_cap(std::u16string_view word, const LineFields &f, KlcKey &key) const
{
    if (word == u"SGCap") {
        key.sgcap = true;
        return;
    }
    if (word.size() == 1 && (word[0] == u'0' || word[0] == u'1' || word[0] == u'4' || word[0] == u'5')) {
        key.caps = static_cast<uint8_t>(word[0] - u'0');
        return;
    }
    f.fail("a Cap value: 0, 1, 4, 5 or SGCap", shown(word));
}

// SC VK Cap, then a cell for each SHIFTSTATE column.
void Reader::layout_line(std::u16string_view first, LineFields &f)
{
    if (first == u"-1") {
        caps_row_line(f);
        return;
    }
    if (awaiting_caps_row_)
        f.fail("the Caps Lock row of the SGCap key on line " +
                   std::to_string(source_.keys[*awaiting_caps_row_].line) + " (-1 -1 0 ...)",
               shown(first));
    KlcKey key;
    key.line = f.number();
    read_scan_code(first, f, key);
    const std::u16string_view vk_word = f.word("a virtual key");
    key.vk = read_vk(vk_word, f);
    if (const int before = vk_keys_[key.vk])
        f.fail("each virtual key once",
               shown(vk_word) + ", already on line " + std::to_string(source_.keys[before - 1].line));
    read_cap(f.word("a Cap value"), f, key);
    const auto &states = source_.shift_states;
    for (size_t column = 0; column < states.size(); ++column) {
        const std::string what = "a cell for column " + std::to_string(column) + " (shift state " +
                                 std::to_string(states[column]) + ")";
        key.cells.push_back(cell_field(f, f.word(what), what));
    }
    f.end("the end of the line after " + std::to_string(states.size()) + " cells");
    source_.keys.push_back(std::move(key));
    vk_keys_[source_.keys.back().vk] = static_cast<int>(source_.keys.size());
    if (source_.keys.back().sgcap)
        awaiting_caps_row_ = source_.keys.size() - 1;
}

// -1 -1 0, then the Caps Lock row of the SGCap key above it, from column 0.
void Reader::caps_row_line(LineFields &f)
{
    if (!awaiting_caps_row_)
        f.fail("a scan code (-1 only under an SGCap key)", "-1");
    KlcKey &key = source_.keys[*awaiting_caps_row_];
    const std::u16string_view vk = f.word("-1 for the virtual key of a Caps Lock row");
    const std::u16string_view cap = f.word("0 for the Cap of a Caps Lock row");
    if (vk != u"-1" || cap != u"0")
        f.fail("-1 -1 0 before the cells of a Caps Lock row", shown(vk) + " " + shown(cap));
    const size_t columns = source_.shift_states.size();
    while (key.caps_cells.size() < columns && (key.caps_cells.empty() || !f.at_end())) {
        const std::string what = "a cell for column " + std::to_string(key.caps_cells.size()) +
                                 " of the Caps Lock row";
        const KlcCell cell = cell_field(f, f.word(what), what);
        if (cell.kind == KlcCell::Kind::Ligature)
            f.fail(what + " (a ligature has no Caps Lock row)", "%%");
        key.caps_cells.push_back(cell);
    }
    f.end("the end of the line after " + std::to_string(columns) + " cells");
    awaiting_caps_row_.reset();
}

// next composed
void Reader::dead_key_line(std::u16string_view first, LineFields &f)
{
    const char16_t next = character_field(f, first, "the character after the dead key");
    const char16_t composed = character_field(f, f.word("the composed character"), "the composed character");
    f.end();
    source_.dead_keys.back().compositions.emplace_back(next, composed);
}

// VK Mod# ch ch ...
void Reader::ligature_line(std::u16string_view first, LineFields &f)
{
    KlcLigature ligature;
    ligature.vk = read_vk(first, f);
    ligature.column = static_cast<uint8_t>(
        decimal_field(f, f.word("a column number"), kKlcStateBits, "a column number from 0 to 15"));
    do {
        if (ligature.chars.size() == klc::kMaxLigatureUnits)
            f.fail("at most " + std::to_string(klc::kMaxLigatureUnits) + " characters in a ligature",
                   "more");
        const std::string what = "character " + std::to_string(ligature.chars.size()) + " of the ligature";
        ligature.chars += character_field(f, f.word(what), what);
    } while (!f.at_end());
    source_.ligatures.push_back(std::move(ligature));
    ligature_lines_.push_back(f.number());
}

void Reader::key_name_line(std::u16string_view first, LineFields &f, std::vector<KlcKeyName> &names)
{
    const auto scan = klc::hex_value(first, 2);
    if (!scan)
        f.fail("a scan code of two hex digits", shown(first));
    names.push_back({static_cast<uint8_t>(*scan), f.text("the key's name")});
    f.end();
}

void Reader::dead_key_name_line(std::u16string_view first, LineFields &f)
{
    const char16_t dead = character_field(f, first, "the dead character");
    source_.dead_key_names.push_back({dead, f.text("the dead key's name")});
    f.end();
}

void Reader::localized_line(std::u16string_view first, LineFields &f, std::vector<KlcLocalized> &texts)
{
    const auto language = klc::hex_value(first, 4);
    if (!language)
        f.fail("a language id of four hex digits", shown(first));
    texts.push_back({static_cast<uint16_t>(*language), f.rest()});
}

const KlcKey *Reader::key_of(uint8_t vk) const
{
    const int index = vk_keys_[vk];
    return index ? &source_.keys[index - 1] : nullptr;
}

// A %% cell types what its LIGATURE line says, and a LIGATURE line is for
// a %% cell: each without the other is a mistake in the source.
void Reader::check_ligatures() const
{
    const size_t columns = source_.shift_states.size();
    std::map<std::pair<uint8_t, uint8_t>, int> given;
    for (size_t i = 0; i < source_.ligatures.size(); ++i) {
        const KlcLigature &l = source_.ligatures[i];
        const std::string place = klc::line_place(ligature_lines_[i]);
        if (l.column >= columns)
            fail(place, "a column below " + std::to_string(columns) + " (the SHIFTSTATE lines)",
                 std::to_string(l.column));
        const KlcKey *key = key_of(l.vk);
        if (!key || key->cells[l.column].kind != KlcCell::Kind::Ligature)
            fail(place, "a %% cell in column " + std::to_string(l.column) + " of " + vk_label(l.vk) +
                            "'s LAYOUT line",
                 key ? "another cell" : "no LAYOUT line for " + vk_label(l.vk));
        const auto [first, added] = given.emplace(std::pair{l.vk, l.column}, ligature_lines_[i]);
        if (!added)
            fail(place, "one LIGATURE line for each %% cell (the first is line " +
                            std::to_string(first->second) + ")",
                 "another");
    }
    for (const KlcKey &key : source_.keys)
        for (size_t column = 0; column < key.cells.size(); ++column)
            if (key.cells[column].kind == KlcCell::Kind::Ligature &&
                !given.count({key.vk, static_cast<uint8_t>(column)}))
                fail(klc::line_place(key.line),
                     "a LIGATURE line for the %% cell in column " + std::to_string(column), "none");
}

}  // namespace

KlcSource read_klc(std::span<const uint8_t> bytes)
{
    return Reader().read(klc::source_lines(bytes));
}

}  // namespace wendol
