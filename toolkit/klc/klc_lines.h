// klc_lines.h - a .klc source's bytes as lines of UTF-16, and one line taken
// field by field.  Everything here refuses with Error("line N", ...), the
// byte-order mark's line being line 1.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wendol::klc {

// "line 12".
std::string line_place(int number);

// The lines of UTF-16LE bytes after the byte-order mark, split at LF with a
// CR before it dropped; a last empty line after the final line end is not
// one.  Refuses a missing mark, an odd byte, an unpaired surrogate, a
// control character, a line past kMaxLineUnits and bytes past kMaxSourceBytes.
std::vector<std::u16string> source_lines(std::span<const uint8_t> bytes);

// True for a line with nothing but blanks and a comment: `//` anywhere, or
// `;` as its first character that is not blank.
bool is_comment_line(std::u16string_view line);

// The fields of one line, separated by tabs or spaces, up to a comment.
class LineFields {
public:
    // `semicolon_comments`: whether a field beginning with `;` begins a
    // comment, as it does everywhere outside the LAYOUT section (there `;`
    // is the character of a cell).
    LineFields(std::u16string_view line, int number, bool semicolon_comments);

    int number() const { return number_; }
    // From here on `;` begins a comment: the line turned out not to be a key's.
    void outside_layout() { semicolon_comments_ = true; }
    std::string place() const { return line_place(number_); }

    // True when nothing but blanks and a comment is left.
    bool at_end();
    // A run of characters up to a blank or a comment.
    std::u16string_view word(const std::string &expected);
    // A text in double quotes (blanks and `//` inside it are its own), or a
    // word without any.
    std::u16string text(const std::string &expected);
    // What is left before a `//`, blanks trimmed at both ends.
    std::u16string rest();
    // Refuses anything left but a comment.
    void end(const std::string &expected = "the end of the line");

    [[noreturn]] void fail(const std::string &expected, const std::string &found) const;

private:
    void skip_blanks();
    bool comment_here() const;

    std::u16string_view line_;
    size_t at_ = 0;
    int number_;
    bool semicolon_comments_;
};

// A field as the error says it was found: "\"ZZ\"".
std::string shown(std::u16string_view field);

}  // namespace wendol::klc
