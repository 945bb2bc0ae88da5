// klc_write.cpp - a .klc source written from its model, as the layout
// creator writes one: tab-separated columns, a comment naming each line's
// characters, UTF-16LE with a byte-order mark and CRLF lines.
//
// What is written must read back as the same model, so the model is judged
// first by the rules the reader holds a source to; a model the format
// cannot say is refused with Error, naming the line it would have been.
#include <algorithm>
#include <array>
#include <set>

#include "base/error.h"
#include "base/text.h"
#include "klc/klc_text.h"
#include "klc_syntax.h"
#include "tables/vk_names.h"

namespace wendol {

namespace {

using klc::hex_text;
using klc::widened;

// What a key's line starts with: "1e", "e01c".
std::string scan_text(const KlcKey &key)
{
    return (key.prefix ? hex_text(key.prefix, 2) : std::string()) + hex_text(key.scan, 2);
}

std::string key_place(const KlcKey &key) { return "the LAYOUT line of scan code " + scan_text(key); }

std::string ligature_place(const KlcLigature &l)
{
    return "the LIGATURE line of " + vk_label(l.vk) + " column " + std::to_string(l.column);
}

void check_text(std::u16string_view text, klc::TextField field, const std::string &place)
{
    if (const char *fault = klc::text_fault(text, field))
        fail(place, field == klc::TextField::Quoted ? "a text that fits in double quotes"
                                                    : "a text that fits on the rest of a line",
             std::string("one with ") + fault);
}

// The rules of the reader, on the model: a source that breaks one could be
// written, but would not read back.
class Judge {
public:
    explicit Judge(const KlcSource &source) : source_(source) {}
    void check() const;

private:
    void check_names() const;
    void check_shift_states() const;
    void check_keys() const;
    void check_key(const KlcKey &key) const;
    void check_ligatures() const;
    void check_dead_keys() const;
    const KlcKey *key_of(uint8_t vk) const;

    const KlcSource &source_;
};

void Judge::check() const
{
    check_names();
    check_shift_states();
    check_keys();
    check_ligatures();
    check_dead_keys();
}

void Judge::check_names() const
{
    if (!klc::is_module_name(source_.name))
        fail("KBD", "a layout name of printable ASCII without blanks or quotes", quoted(widened(source_.name)));
    check_text(source_.description, klc::TextField::Quoted, "KBD");
    check_text(source_.copyright, klc::TextField::Quoted, "COPYRIGHT");
    check_text(source_.company, klc::TextField::Quoted, "COMPANY");
    if (!klc::is_locale_name(source_.locale_name))
        fail("LOCALENAME", "a locale name of letters, digits and hyphens", "another");
    for (const KlcKeyName &n : source_.key_names)
        check_text(n.name, klc::TextField::Quoted, "KEYNAME " + hex_text(n.scan, 2));
    for (const KlcKeyName &n : source_.key_names_ext)
        check_text(n.name, klc::TextField::Quoted, "KEYNAME_EXT " + hex_text(n.scan, 2));
    for (const KlcDeadKeyName &n : source_.dead_key_names)
        check_text(n.name, klc::TextField::Quoted, "KEYNAME_DEAD " + hex_text(n.dead, 4));
    for (const KlcLocalized &d : source_.descriptions)
        check_text(d.text, klc::TextField::RestOfLine, "DESCRIPTIONS " + hex_text(d.language, 4));
    for (const KlcLocalized &d : source_.language_names)
        check_text(d.text, klc::TextField::RestOfLine, "LANGUAGENAMES " + hex_text(d.language, 4));
}

void Judge::check_shift_states() const
{
    const auto &states = source_.shift_states;
    if (states.empty())
        fail("SHIFTSTATE", "at least one column", "none");
    for (size_t i = 0; i < states.size(); ++i) {
        if (states[i] > kKlcStateBits)
            fail("SHIFTSTATE", "a shift state from 0 to 15", std::to_string(states[i]));
        if (std::find(states.begin(), states.begin() + static_cast<std::ptrdiff_t>(i), states[i]) !=
            states.begin() + static_cast<std::ptrdiff_t>(i))
            fail("SHIFTSTATE", "each shift state once", std::to_string(states[i]) + " twice");
    }
}

void Judge::check_keys() const
{
    std::set<std::pair<uint8_t, uint8_t>> scans;
    std::array<bool, 0x100> vks{};
    for (const KlcKey &key : source_.keys) {
        check_key(key);
        if (!scans.insert({key.prefix, key.scan}).second)
            fail(key_place(key), "each scan code once", "it twice");
        if (vks[key.vk])
            fail(key_place(key), "each virtual key once", vk_label(key.vk) + " twice");
        vks[key.vk] = true;
    }
}

void Judge::check_key(const KlcKey &key) const
{
    const std::string place = key_place(key);
    const size_t columns = source_.shift_states.size();
    if (key.prefix != 0 && key.prefix != 0xE0 && key.prefix != 0xE1)
        fail(place, "no prefix, E0 or E1", hex(key.prefix, 2));
    if (key.scan > klc::kMaxScan)
        fail(place, "a scan code below 80", hex(key.scan, 2));
    if (klc::vk_written_name(key.vk).empty())
        fail(place, "a virtual key with a name", vk_label(key.vk));
    if (key.caps != 0 && key.caps != 1 && key.caps != 4 && key.caps != 5)
        fail(place, "a Cap value of 0, 1, 4 or 5", std::to_string(key.caps));
    if (key.cells.size() != columns)
        fail(place, "a cell for each of the " + std::to_string(columns) + " columns",
             std::to_string(key.cells.size()) + " cells");
    if (!key.sgcap) {
        if (!key.caps_cells.empty())
            fail(place, "a Caps Lock row only under SGCap", "one under Cap " + std::to_string(key.caps));
        return;
    }
    if (key.caps != 0)
        fail(place, "no Cap value beside SGCap", std::to_string(key.caps));
    if (key.caps_cells.empty() || key.caps_cells.size() > columns)
        fail(place, "a Caps Lock row of 1 to " + std::to_string(columns) + " cells",
             std::to_string(key.caps_cells.size()) + " cells");
    for (const KlcCell &cell : key.caps_cells)
        if (cell.kind == KlcCell::Kind::Ligature)
            fail(place, "a Caps Lock row without ligatures", "%%");
}

const KlcKey *Judge::key_of(uint8_t vk) const
{
    for (const KlcKey &key : source_.keys)
        if (key.vk == vk)
            return &key;
    return nullptr;
}

void Judge::check_ligatures() const
{
    const size_t columns = source_.shift_states.size();
    std::set<std::pair<uint8_t, uint8_t>> given;
    for (const KlcLigature &l : source_.ligatures) {
        const std::string place = ligature_place(l);
        if (klc::vk_written_name(l.vk).empty())
            fail(place, "a virtual key with a name", vk_label(l.vk));
        if (l.column >= columns)
            fail(place, "a column below " + std::to_string(columns), std::to_string(l.column));
        if (l.chars.empty() || l.chars.size() > klc::kMaxLigatureUnits)
            fail(place, "1 to 16 characters", std::to_string(l.chars.size()));
        const KlcKey *key = key_of(l.vk);
        if (!key || key->cells[l.column].kind != KlcCell::Kind::Ligature)
            fail(place, "a %% cell for it", key ? "another cell" : "no key");
        if (!given.insert({l.vk, l.column}).second)
            fail(place, "one LIGATURE line for each %% cell", "two");
    }
    for (const KlcKey &key : source_.keys)
        for (size_t column = 0; column < key.cells.size(); ++column)
            if (key.cells[column].kind == KlcCell::Kind::Ligature &&
                !given.count({key.vk, static_cast<uint8_t>(column)}))
                fail(key_place(key), "a LIGATURE line for the %% cell in column " + std::to_string(column),
                     "none");
}

void Judge::check_dead_keys() const
{
    std::set<char16_t> dead;
    for (const KlcDeadKey &d : source_.dead_keys)
        if (!dead.insert(d.dead).second)
            fail("DEADKEY " + hex_text(d.dead, 4), "one DEADKEY section for each dead character", "two");
}

// Letters, digits and punctuation stand as themselves, but for the ones
// that would read as something else: comments, dead keys, ligatures, quotes.
bool written_as_itself(char16_t c)
{
    return c >= 0x21 && c <= 0x7E && std::u16string_view(u"/;@%\"").find(c) == std::u16string_view::npos;
}

std::u16string code_text(char16_t c) { return widened(hex_text(c, 4)); }

std::u16string cell_text(const KlcCell &cell)
{
    switch (cell.kind) {
    case KlcCell::Kind::None: return u"-1";
    case KlcCell::Kind::Ligature: return u"%%";
    case KlcCell::Kind::Dead: return code_text(cell.ch) + u"@";
    case KlcCell::Kind::Character: break;
    }
    return written_as_itself(cell.ch) ? std::u16string(1, cell.ch) : code_text(cell.ch);
}

std::u16string utf16(char32_t c)
{
    if (c < 0x10000)
        return std::u16string(1, static_cast<char16_t>(c));
    c -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (c >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
}

// Characters as a comment shows them: themselves, and those that print as
// nothing by name ("<NO-BREAK SPACE>"), so that no comment holds a tab or a
// lone surrogate.
std::u16string shown_text(std::u16string_view text)
{
    std::u16string out;
    for (char32_t c : code_points(text)) {
        if (const char *name = invisible_name(c))
            out += u"<" + widened(name) + u">";
        else if (klc::is_surrogate(c))
            out += u"<" + widened(code_point_text(c)) + u">";
        else
            out += utf16(c);
    }
    return out;
}

std::u16string shown_char(char16_t c) { return shown_text(std::u16string_view(&c, 1)); }

// The VK column, padded to the next but one tab stop as the header is.
std::u16string vk_column(uint8_t vk)
{
    const std::string name = klc::vk_written_name(vk);
    return widened(name) + (name.size() < 8 ? u"\t\t" : u"\t");
}

std::u16string modifier_names(uint8_t state)
{
    std::u16string names;
    const std::pair<uint8_t, const char16_t *> bits[] = {
        {kKlcShift, u" Shft"}, {kKlcCtrl, u" Ctrl"}, {kKlcAlt, u" Alt"}, {kKlcKana, u" Kana"}};
    for (const auto &[bit, name] : bits)
        if (state & bit)
            names += name;
    return names.empty() ? names : u" :" + names;
}

bool needs_quotes(std::u16string_view name)
{
    return name.empty() || name.front() == u';' || name.find(u"//") != std::u16string_view::npos ||
           std::any_of(name.begin(), name.end(), klc::is_blank);
}

class Writer {
public:
    explicit Writer(const KlcSource &source) : source_(source) {}
    std::u16string text();

private:
    void line(std::u16string_view text = {}) { out_ += text; out_ += u"\r\n"; }
    void notes();
    void header();
    void shift_states();
    void layout();
    void key(const KlcKey &key);
    void dead_keys();
    void ligatures();
    void key_names(const char16_t *keyword, const std::vector<KlcKeyName> &names);
    void dead_key_names();
    void localized(const char16_t *keyword, const std::vector<KlcLocalized> &texts);
    std::u16string cell_shown(const KlcKey &key, size_t column, const KlcCell &cell) const;

    const KlcSource &source_;
    std::u16string out_;
};

std::u16string Writer::text()
{
    notes();
    header();
    shift_states();
    layout();
    dead_keys();
    ligatures();
    key_names(u"KEYNAME", source_.key_names);
    key_names(u"KEYNAME_EXT", source_.key_names_ext);
    dead_key_names();
    localized(u"DESCRIPTIONS", source_.descriptions);
    localized(u"LANGUAGENAMES", source_.language_names);
    line(u"ENDKBD");
    return std::move(out_);
}

// The notes are comments, each line cut short of the reader's longest and
// never inside a surrogate pair; a control character but the line end
// becomes U+FFFD.
void Writer::notes()
{
    constexpr size_t kWidth = klc::kMaxLineUnits - 8;
    for (const std::string &note : source_.notes) {
        std::u16string text;
        for (char32_t c : code_points(std::string_view(note)))
            if (c != U'\r')
                text += c == U'\n' ? u"\n" : klc::is_control(c) ? u"\uFFFD" : utf16(c);
        std::u16string_view left = text;
        while (true) {
            const size_t cut = std::min({left.find(u'\n'), kWidth, left.size()});
            const size_t taken = cut > 0 && cut < left.size() && klc::is_high_surrogate(left[cut - 1]) ? cut - 1 : cut;
            line(u"// " + std::u16string(left.substr(0, taken)));
            left.remove_prefix(taken < left.size() && left[taken] == u'\n' ? taken + 1 : taken);
            if (left.empty())
                break;
        }
    }
    if (!source_.notes.empty())
        line();
}

void Writer::header()
{
    line(u"KBD\t" + widened(source_.name) + u"\t\"" + source_.description + u"\"");
    line();
    line(u"COPYRIGHT\t\"" + source_.copyright + u"\"");
    line();
    line(u"COMPANY\t\"" + source_.company + u"\"");
    line();
    line(u"LOCALENAME\t\"" + widened(source_.locale_name) + u"\"");
    line();
    line(u"LOCALEID\t\"" + widened(hex_text(source_.locale_id, 8)) + u"\"");
    line();
    line(u"VERSION\t" + widened(std::to_string(source_.version_major) + "." +
                                std::to_string(source_.version_minor)));
    line();
    if (source_.altgr || source_.shift_lock || source_.lrm_rlm) {
        line(u"ATTRIBUTES");
        if (source_.altgr)
            line(u"ALTGR");
        if (source_.shift_lock)
            line(u"SHIFTLOCK");
        if (source_.lrm_rlm)
            line(u"LRM_RLM");
        line();
    }
}

void Writer::shift_states()
{
    line(u"SHIFTSTATE");
    line();
    for (size_t column = 0; column < source_.shift_states.size(); ++column) {
        const uint8_t state = source_.shift_states[column];
        line(widened(std::to_string(state)) + u"\t//Column " + widened(std::to_string(column)) +
             modifier_names(state));
    }
    line();
}

void Writer::layout()
{
    line(u"LAYOUT\t\t// an @ after a cell's character makes the key a dead key");
    line();
    std::u16string names = u"//SC\tVK_\t\tCap", rule = u"//--\t----\t\t----";
    for (size_t column = 0; column < source_.shift_states.size(); ++column) {
        names += u"\t" + widened(std::to_string(column));
        rule += u"\t----";
    }
    line(names);
    line(rule);
    line();
    for (const KlcKey &k : source_.keys)
        key(k);
    line();
}

std::u16string Writer::cell_shown(const KlcKey &key, size_t column, const KlcCell &cell) const
{
    switch (cell.kind) {
    case KlcCell::Kind::None:
        return u"<none>";
    case KlcCell::Kind::Dead:
        return shown_char(cell.ch) + u" (dead)";
    case KlcCell::Kind::Character:
        return shown_char(cell.ch);
    case KlcCell::Kind::Ligature:
        break;
    }
    for (const KlcLigature &l : source_.ligatures)
        if (l.vk == key.vk && l.column == column)
            return shown_text(l.chars);
    return u"<ligature>";
}

void Writer::key(const KlcKey &key)
{
    std::u16string text = widened(scan_text(key)) + u"\t" + vk_column(key.vk) +
                          (key.sgcap ? u"SGCap" : widened(std::to_string(key.caps)));
    std::u16string comment;
    for (size_t column = 0; column < key.cells.size(); ++column) {
        text += u"\t" + cell_text(key.cells[column]);
        comment += (column ? u", " : u"") + cell_shown(key, column, key.cells[column]);
    }
    line(text + u"\t// " + comment);
    if (!key.sgcap)
        return;
    std::u16string row = u"-1\t-1\t\t0", row_comment;
    for (size_t column = 0; column < key.caps_cells.size(); ++column) {
        row += u"\t" + cell_text(key.caps_cells[column]);
        row_comment += (column ? u", " : u"") + cell_shown(key, column, key.caps_cells[column]);
    }
    line(row + u"\t// " + row_comment);
}

void Writer::dead_keys()
{
    for (const KlcDeadKey &d : source_.dead_keys) {
        line(u"DEADKEY\t" + code_text(d.dead));
        line();
        for (const auto &[next, composed] : d.compositions)
            line(code_text(next) + u"\t" + code_text(composed) + u"\t// " + shown_char(next) + u" -> " +
                 shown_char(composed));
        line();
    }
}

void Writer::ligatures()
{
    if (source_.ligatures.empty())
        return;
    size_t longest = 0;
    for (const KlcLigature &l : source_.ligatures)
        longest = std::max(longest, l.chars.size());
    std::u16string names = u"//VK_\t\tMod#", rule = u"//----\t\t----";
    for (size_t i = 0; i < longest; ++i) {
        names += u"\tChar" + widened(std::to_string(i));
        rule += u"\t-----";
    }
    line(u"LIGATURE");
    line();
    line(names);
    line(rule);
    line();
    for (const KlcLigature &l : source_.ligatures) {
        std::u16string text = vk_column(l.vk) + widened(std::to_string(l.column));
        for (char16_t c : l.chars)
            text += u"\t" + code_text(c);
        line(text + u"\t// " + shown_text(l.chars));
    }
    line();
}

void Writer::key_names(const char16_t *keyword, const std::vector<KlcKeyName> &names)
{
    if (names.empty())
        return;
    line(keyword);
    line();
    for (const KlcKeyName &n : names)
        line(widened(hex_text(n.scan, 2)) + u"\t" + (needs_quotes(n.name) ? u"\"" + n.name + u"\"" : n.name));
    line();
}

void Writer::dead_key_names()
{
    if (source_.dead_key_names.empty())
        return;
    line(u"KEYNAME_DEAD");
    line();
    for (const KlcDeadKeyName &n : source_.dead_key_names)
        line(code_text(n.dead) + u"\t\"" + n.name + u"\"");
    line();
}

void Writer::localized(const char16_t *keyword, const std::vector<KlcLocalized> &texts)
{
    if (texts.empty())
        return;
    line(keyword);
    line();
    for (const KlcLocalized &t : texts)
        line(widened(hex_text(t.language, 4)) + u"\t" + t.text);
    line();
}

// The bytes, once every line is known to fit the reader's caps.
std::vector<uint8_t> encoded(std::u16string_view text)
{
    size_t line_start = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != u'\n')
            continue;
        if (at - 1 - line_start > klc::kMaxLineUnits)
            fail("the written source", "lines of at most " + std::to_string(klc::kMaxLineUnits) + " characters",
                 "a line of " + std::to_string(at - 1 - line_start));
        line_start = at + 1;
    }
    const size_t size = 2 + 2 * text.size();
    if (size > klc::kMaxSourceBytes)
        fail("the written source", "at most " + std::to_string(klc::kMaxSourceBytes) + " bytes",
             std::to_string(size) + " bytes");
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    bytes.reserve(size);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

}  // namespace

std::vector<uint8_t> klc_bytes(const KlcSource &source)
{
    Judge(source).check();
    return encoded(Writer(source).text());
}

}  // namespace wendol
