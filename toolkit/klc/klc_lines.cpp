// klc_lines.cpp - the lines of a .klc source and the fields of a line.
#include "klc_lines.h"

#include "base/error.h"
#include "base/text.h"
#include "klc_syntax.h"

namespace wendol::klc {

namespace {

// What the first bytes are, when they are not the mark the layout creator
// writes: the other marks by name, anything else as its bytes.
std::string first_bytes(std::span<const uint8_t> bytes)
{
    if (bytes.empty())
        return "an empty file";
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return "the UTF-16BE mark FE FF";
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return "the UTF-8 mark EF BB BF";
    std::string found = "the bytes";
    for (size_t i = 0; i < bytes.size() && i < 2; ++i)
        found += " " + hex(bytes[i], 2).substr(2);
    return found;
}

void check_frame(std::span<const uint8_t> bytes)
{
    if (bytes.size() > kMaxSourceBytes)
        fail(line_place(1), "a source of at most " + std::to_string(kMaxSourceBytes) + " bytes",
             std::to_string(bytes.size()) + " bytes");
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE)
        fail(line_place(1), "a UTF-16LE byte-order mark", first_bytes(bytes));
}

char16_t unit_at(std::span<const uint8_t> bytes, size_t offset)
{
    return static_cast<char16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

// Appends one character to the line being read, refusing what no line holds.
void add_unit(std::u16string &line, int number, char16_t unit)
{
    if (line.size() >= kMaxLineUnits)
        fail(line_place(number), "a line of at most " + std::to_string(kMaxLineUnits) + " characters",
             "a longer one");
    if (is_control(unit))
        fail(line_place(number), "a printable character", character_label(unit));
    line += unit;
}

}  // namespace

std::string line_place(int number) { return "line " + std::to_string(number); }

std::vector<std::u16string> source_lines(std::span<const uint8_t> bytes)
{
    check_frame(bytes);
    std::vector<std::u16string> lines(1);
    const size_t end = bytes.size() & ~size_t{1};
    for (size_t at = 2; at < end; at += 2) {
        const int number = static_cast<int>(lines.size());
        const char16_t unit = unit_at(bytes, at);
        const bool has_next = at + 2 < end;
        const char16_t next = has_next ? unit_at(bytes, at + 2) : 0;
        if (unit == u'\n') {
            lines.emplace_back();
        } else if (unit == u'\r' && has_next && next == u'\n') {
            // CRLF: the LF ends the line.
        } else if (is_high_surrogate(unit) && has_next && is_low_surrogate(next)) {
            add_unit(lines.back(), number, unit);
            add_unit(lines.back(), number, next);
            at += 2;
        } else if (is_surrogate(unit)) {
            fail(line_place(number), "a surrogate pair", "the unpaired surrogate " + code_point_text(unit));
        } else {
            add_unit(lines.back(), number, unit);
        }
    }
    if (bytes.size() != end)
        fail(line_place(static_cast<int>(lines.size())), "UTF-16 (an even number of bytes)",
             "a stray byte at the end");
    if (lines.size() > 1 && lines.back().empty())
        lines.pop_back();
    return lines;
}

bool is_comment_line(std::u16string_view line)
{
    size_t at = 0;
    while (at < line.size() && is_blank(line[at]))
        ++at;
    const std::u16string_view rest = line.substr(at);
    return rest.empty() || rest.front() == u';' || rest.starts_with(u"//");
}

LineFields::LineFields(std::u16string_view line, int number, bool semicolon_comments)
    : line_(line), number_(number), semicolon_comments_(semicolon_comments)
{
}

void LineFields::skip_blanks()
{
    while (at_ < line_.size() && is_blank(line_[at_]))
        ++at_;
}

bool LineFields::comment_here() const
{
    const std::u16string_view rest = line_.substr(at_);
    return rest.starts_with(u"//") || (semicolon_comments_ && rest.starts_with(u';'));
}

bool LineFields::at_end()
{
    skip_blanks();
    return at_ == line_.size() || comment_here();
}

std::u16string_view LineFields::word(const std::string &expected)
{
    if (at_end())
        fail(expected, "the end of the line");
    const size_t start = at_;
    while (at_ < line_.size() && !is_blank(line_[at_]) && !line_.substr(at_).starts_with(u"//"))
        ++at_;
    return line_.substr(start, at_ - start);
}

std::u16string LineFields::text(const std::string &expected)
{
    if (at_end())
        fail(expected, "the end of the line");
    if (line_[at_] != u'"') {
        const std::u16string_view bare = word(expected);
        if (bare.find(u'"') != std::u16string_view::npos)
            fail(expected + " (a word, or a text in double quotes)", shown(bare));
        return std::u16string(bare);
    }
    const size_t close = line_.find(u'"', at_ + 1);
    if (close == std::u16string_view::npos)
        fail("a closing double quote", "the end of the line");
    const std::u16string_view inside = line_.substr(at_ + 1, close - at_ - 1);
    at_ = close + 1;
    return std::u16string(inside);
}

std::u16string LineFields::rest()
{
    skip_blanks();
    std::u16string_view left = line_.substr(at_);
    left = left.substr(0, left.find(u"//"));
    while (!left.empty() && is_blank(left.back()))
        left.remove_suffix(1);
    at_ = line_.size();
    return std::u16string(left);
}

void LineFields::end(const std::string &expected)
{
    if (!at_end()) {
        const std::u16string_view extra = word(expected);
        fail(expected, shown(extra));
    }
}

void LineFields::fail(const std::string &expected, const std::string &found) const
{
    wendol::fail(place(), expected, found);
}

std::string shown(std::u16string_view field) { return quoted(field); }

}  // namespace wendol::klc
