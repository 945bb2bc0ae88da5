// test_utf8.cpp - the one UTF-8 decoder: every code point read back, each
// kind of malformed sequence refused, and the cut it makes in bad input
// checked against ICU's.
#include <gtest/gtest.h>
#include <unicode/utf8.h>

#include <vector>

#include "base/error.h"
#include "base/text.h"

namespace wendol {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool is_surrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

TEST(Utf8Decoder, EveryCodePointReadsBackFromItsEncoding)
{
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (is_surrogate(c))
            continue;
        const std::string bytes = utf8(c);
        const Utf8Sequence s = decode_utf8(bytes);
        if (!s.valid || s.code_point != c || s.length != bytes.size()) {
            ADD_FAILURE() << code_point_text(c) << " read as " << code_point_text(s.code_point)
                          << " of " << s.length << " bytes";
            return;
        }
    }
}

// Bytes, and the length of the malformed sequence at their start.
struct Malformed {
    const char *what;
    std::string bytes;
    size_t length;
};

TEST(Utf8Decoder, RefusesMalformedSequences)
{
    const Malformed cases[] = {
        // Overlong: a code point in more bytes than it needs.
        {"NUL in two bytes", "\xC0\x80", 1},
        {"U+007F in two bytes", "\xC1\xBF", 1},
        {"U+007F in three bytes", "\xE0\x81\xBF", 1},
        {"U+07FF in three bytes", "\xE0\x9F\xBF", 1},
        {"U+FFFF in four bytes", "\xF0\x8F\xBF\xBF", 1},
        {"'/' in four bytes", "\xF0\x80\x80\xAF", 1},
        // Surrogates, which UTF-8 never carries.
        {"U+D800", "\xED\xA0\x80", 1},
        {"U+DFFF", "\xED\xBF\xBF", 1},
        {"a surrogate pair", "\xED\xA0\xBD\xED\xB8\x80", 1},
        // Past the last code point.
        {"U+110000", "\xF4\x90\x80\x80", 1},
        {"U+13FFFF", "\xF4\xBF\xBF\xBF", 1},
        {"lead F5", "\xF5\x80\x80\x80", 1},
        {"lead F7, U+1FFFFF", "\xF7\xBF\xBF\xBF", 1},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", 1},
        {"lead FF", "\xFF", 1},
        // Cut short, by the end or by a byte that continues nothing.
        {"two-byte lead alone", "\xC3", 1},
        {"three bytes cut after two", "\xE2\x82", 2},
        {"four bytes cut after three", "\xF0\x9F\x98", 3},
        {"three bytes broken by a letter", "\xE2\x82" "A", 2},
        {"four bytes broken by a new lead", "\xF0\x9F\xC3\xA9", 2},
        // Continuation bytes with no lead.
        {"stray 80", "\x80", 1},
        {"stray BF before a letter", "\xBF" "a", 1},
    };
    for (const Malformed &c : cases) {
        SCOPED_TRACE(c.what);
        const Utf8Sequence s = decode_utf8(c.bytes);
        EXPECT_FALSE(s.valid);
        EXPECT_EQ(s.code_point, kReplacement);
        EXPECT_EQ(s.length, c.length);
    }
    EXPECT_EQ(decode_utf8("").length, 0u);   // nothing to take, so no step forward
}

TEST(Utf8Decoder, CodePointsReadOnAfterAMalformedSequence)
{
    // A malformed sequence never swallows the valid text after it.
    EXPECT_EQ(code_points("a\x80" "b"), (std::u32string{'a', kReplacement, 'b'}));
    EXPECT_EQ(code_points("\xE2\x82" "A"), (std::u32string{kReplacement, 'A'}));
    EXPECT_EQ(code_points("\xC0\x80"), (std::u32string{kReplacement, kReplacement}));
    EXPECT_EQ(code_points("\xF0\x9F\x98"), std::u32string{kReplacement});
    EXPECT_EQ(code_points("\xF0\x9F\xC3\xA9"), (std::u32string{kReplacement, 0xE9}));
    EXPECT_EQ(code_points("\xCE\xAC\xE2\x80"), (std::u32string{0x3AC, kReplacement}));
    EXPECT_EQ(display_width("\x80" "a"), 2u);
    // A report's column is as wide as its characters, and one that fills it
    // never runs into the next.
    EXPECT_EQ(column_text("\u00E9", 3), "\u00E9  ");
    EXPECT_EQ(column_text("Alt+Ctrl+0x08", 13), "Alt+Ctrl+0x08  ");
}

// ICU's reading of `bytes`: each code point, U+FFFD for a malformed
// sequence, and where each one ends.
std::vector<std::pair<char32_t, size_t>> icu_reading(const std::string &bytes)
{
    std::vector<std::pair<char32_t, size_t>> out;
    const auto *s = reinterpret_cast<const uint8_t *>(bytes.data());
    const auto length = static_cast<int32_t>(bytes.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(s, i, length, c);
        out.emplace_back(c < 0 ? kReplacement : static_cast<char32_t>(c), static_cast<size_t>(i));
    }
    return out;
}

std::vector<std::pair<char32_t, size_t>> our_reading(const std::string &bytes)
{
    std::vector<std::pair<char32_t, size_t>> out;
    for (size_t at = 0; at < bytes.size();) {
        const Utf8Sequence s = decode_utf8(std::string_view(bytes).substr(at));
        at += s.length;
        out.emplace_back(s.code_point, at);
    }
    return out;
}

TEST(Utf8Decoder, CutsBadInputWhereIcuDoes)
{
    // Every string of up to four bytes drawn from the bytes at the edges of
    // the lead and continuation ranges.
    const uint8_t edges[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF,
                             0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xEC, 0xED, 0xEE,
                             0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xF8, 0xFF};
    size_t checked = 0;
    std::vector<size_t> digits;
    for (size_t length = 1; length <= 4; ++length) {
        digits.assign(length, 0);
        for (;;) {
            std::string bytes;
            for (size_t d : digits)
                bytes.push_back(static_cast<char>(edges[d]));
            if (our_reading(bytes) != icu_reading(bytes)) {
                std::string shown;
                for (char b : bytes)
                    shown += " " + hex(static_cast<unsigned char>(b), 2);
                ADD_FAILURE() << "read otherwise than ICU:" << shown;
                return;
            }
            ++checked;
            size_t k = 0;
            while (k < length && ++digits[k] == std::size(edges))
                digits[k++] = 0;
            if (k == length)
                break;
        }
    }
    EXPECT_EQ(checked, 26u + 26u * 26 + 26u * 26 * 26 + 26u * 26 * 26 * 26);
}

}  // namespace
}  // namespace wendol
